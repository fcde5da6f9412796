package orvane.ui;

import flash.text.TextField;
import orvane.model.Budget;

/** Running totals: I/O points by kind, points, slots and currents against capacity with what is left, and what is wrong. */
class TotalsPanel extends Panel {
	final pointsByKind:TextField;
	final points:BudgetBar;
	final slots:BudgetBar;
	final current5V:BudgetBar;
	final current24V:BudgetBar;
	final verdict:TextField;
	final panelHeight:Float;

	public function new(x:Float, y:Float, width:Float, height:Float) {
		super("合计", x, y, width, height);
		panelHeight = height;
		pointsByKind = TextFactory.label("", 8, Panel.TITLE_HEIGHT + 2, width - 16, 12, Palette.TEXT_DIM);
		addChild(pointsByKind);
		points = new BudgetBar("I/O 点数", 8, Panel.TITLE_HEIGHT + 22);
		slots = new BudgetBar("I/O 槽位", 8, Panel.TITLE_HEIGHT + 42);
		current5V = new BudgetBar("5V 电流", 8, Panel.TITLE_HEIGHT + 62);
		current24V = new BudgetBar("24V 电流", 8, Panel.TITLE_HEIGHT + 82);
		for (bar in [points, slots, current5V, current24V])
			addChild(bar);
		verdict = TextFactory.paragraph("", 6, Panel.TITLE_HEIGHT + 104, width - 12, height - Panel.TITLE_HEIGHT - 106, 12, Palette.WARNING);
		addChild(verdict);
	}

	public function show(budget:Budget):Void {
		final p = budget.points;
		pointsByKind.text = 'DI ${p.di}   DO ${p.dout}   AI ${p.ai}   AO ${p.ao}';
		points.show(p.total(), budget.ioPointsLeft() == null ? null : budget.maxIoPoints, budget.ioPointsLeft(), "点");
		slots.show(budget.slotsUsed, budget.slotsLeft() == null ? null : budget.slotsAvailable, budget.slotsLeft(), "槽");
		current5V.show(budget.draw5V, budget.current5VLeft() == null ? null : budget.supply5V, budget.current5VLeft(), "mA");
		if (budget.powerLacks24V())
			current24V.showWithoutCapacity(budget.draw24V, "mA", budget.needsExternal24V() ? "需外部供电" : "电源无 24V");
		else
			current24V.show(budget.draw24V, budget.current24VLeft() == null ? null : budget.supply24V, budget.current24VLeft(), "mA");
		final problems = budget.problems();
		final overruns = budget.slotsExceeded() || budget.over5V() || budget.over24V() || budget.ioPointsExceeded();
		verdict.text = problems.length == 0 ? "√ 配置有效：槽位、电流和 I/O 点数均在允许范围内" : problems.join("\n");
		verdict.textColor = problems.length == 0 ? Palette.GOOD : overruns ? Palette.WARNING : Palette.NOTICE;
		drawVerdictBackground(overruns);
	}

	function drawVerdictBackground(overruns:Bool):Void {
		graphics.lineStyle();
		graphics.beginFill(overruns ? Palette.WARNING_SOFT : Palette.PANEL);
		graphics.drawRect(4, verdict.y - 2, panelWidth - 8, panelHeight - verdict.y - 2);
		graphics.endFill();
	}
}
