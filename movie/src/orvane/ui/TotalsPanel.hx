package orvane.ui;

import flash.text.TextField;
import orvane.model.Budget;

/** Running totals: I/O points by kind, slots and currents against capacity, and what is wrong. */
class TotalsPanel extends Panel {
	final points:TextField;
	final slots:BudgetBar;
	final current5V:BudgetBar;
	final current24V:BudgetBar;
	final verdict:TextField;
	final panelHeight:Float;

	public function new(x:Float, y:Float, width:Float, height:Float) {
		super("合计", x, y, width, height);
		panelHeight = height;
		points = TextFactory.label("", 8, Panel.TITLE_HEIGHT + 4, width - 16, 12, Palette.TEXT);
		addChild(points);
		slots = new BudgetBar("I/O 槽位", 8, Panel.TITLE_HEIGHT + 28);
		current5V = new BudgetBar("5V 电流", 8, Panel.TITLE_HEIGHT + 50);
		current24V = new BudgetBar("24V 电流", 8, Panel.TITLE_HEIGHT + 72);
		addChild(slots);
		addChild(current5V);
		addChild(current24V);
		verdict = TextFactory.paragraph("", 6, Panel.TITLE_HEIGHT + 96, width - 12, height - Panel.TITLE_HEIGHT - 100, 12, Palette.WARNING);
		addChild(verdict);
	}

	public function show(budget:Budget):Void {
		final p = budget.points;
		final limit = budget.maxIoPoints > 0 ? ' / ${budget.maxIoPoints}' : "";
		points.text = 'I/O 点数  DI ${p.di}  DO ${p.dout}  AI ${p.ai}  AO ${p.ao}   合计 ${p.total()}$limit';
		points.textColor = budget.ioPointsExceeded() ? Palette.WARNING : Palette.TEXT;
		slots.show(budget.slotsUsed, budget.slotsAvailable > 0 ? budget.slotsAvailable : null, "槽");
		final hasPower = budget.supply5V > 0;
		current5V.show(budget.draw5V, hasPower ? budget.supply5V : null, "mA");
		current24V.show(budget.draw24V, hasPower ? budget.supply24V : null, "mA");
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
