package orvane.ui;

import flash.text.TextField;
import orvane.model.Budget;
import orvane.model.CabinetFigures;
import orvane.model.Reserve;

/**
	Running totals: I/O points by kind and against the CPU's limit; slots and currents of the rack
	shown against its base and power supply, with what is left and the reserve kept; with
	expansion racks, all racks together; and what is wrong anywhere. The title bar's button
	shows the reserve and opens its dialog; "机柜…" beside it opens the enclosure's. Under the bars,
	the cabinet's figures (CabinetFigures).
**/
class TotalsPanel extends Panel {
	final pointsByKind:TextField;
	final points:BudgetBar;
	final slots:BudgetBar;
	final current5V:BudgetBar;
	final current24V:BudgetBar;
	final overall:TextField;
	final cabinetLine:TextField;
	final verdict:TextField;
	final panelHeight:Float;
	public final reserveButton:PushButton;
	public final cabinetButton:PushButton;

	/** `onReserve`, `onCabinet`: the reserve or the "机柜…" button was pressed. */
	public function new(x:Float, y:Float, width:Float, height:Float, onReserve:() -> Void, onCabinet:() -> Void) {
		super("合计", x, y, width, height);
		panelHeight = height;
		reserveButton = new PushButton("", width - 124, 3, 120, Panel.TITLE_HEIGHT - 6, onReserve, 11);
		addChild(reserveButton);
		cabinetButton = new PushButton("机柜…", width - 184, 3, 56, Panel.TITLE_HEIGHT - 6, onCabinet, 11);
		addChild(cabinetButton);
		pointsByKind = TextFactory.label("", 8, Panel.TITLE_HEIGHT + 2, width - 16, 12, Palette.TEXT_DIM);
		addChild(pointsByKind);
		points = new BudgetBar("I/O 点数", 8, Panel.TITLE_HEIGHT + 22);
		slots = new BudgetBar("I/O 槽位", 8, Panel.TITLE_HEIGHT + 42);
		current5V = new BudgetBar("5V 电流", 8, Panel.TITLE_HEIGHT + 62);
		current24V = new BudgetBar("24V 电流", 8, Panel.TITLE_HEIGHT + 82);
		for (bar in [points, slots, current5V, current24V])
			addChild(bar);
		overall = TextFactory.label("", 8, Panel.TITLE_HEIGHT + 101, width - 16, 11, Palette.TEXT_DIM);
		addChild(overall);
		cabinetLine = TextFactory.paragraph("", 8, Panel.TITLE_HEIGHT + 115, width - 16, 28, 11, Palette.TEXT_DIM);
		addChild(cabinetLine);
		verdict = TextFactory.paragraph("", 6, Panel.TITLE_HEIGHT + 145, width - 12, height - Panel.TITLE_HEIGHT - 147, 12, Palette.WARNING);
		addChild(verdict);
	}

	/** `rackIndex`: the rack whose slots and currents the bars show (0: the main rack); `cabinet`: its figures and the enclosure's warnings. */
	public function show(budget:Budget, rackIndex:Int, reserve:Reserve, cabinet:CabinetFigures):Void {
		showCabinet(cabinet, rackIndex);
		final p = budget.points;
		final rack = budget.racks[rackIndex < budget.racks.length ? rackIndex : 0];
		setTitle(budget.racks.length == 1 ? "合计" : "合计：" + rack.label);
		reserveButton.setText(reserve.isNone() ? "余量：不留" : "余量：" + [for (limit in orvane.model.LimitKind.all) reserve.percent(limit)].join("/") + "%");
		pointsByKind.text = 'DI ${p.di}   DO ${p.dout}   AI ${p.ai}   AO ${p.ao}';
		points.show(p.total(), budget.ioPointsLeft() == null ? null : budget.maxIoPoints, budget.ioPointsLeft(), "点", budget.usableIoPoints);
		slots.show(rack.slotsUsed, rack.slotsLeft() == null ? null : rack.slotsAvailable, rack.slotsLeft(), "槽", rack.slotsUsable);
		current5V.show(rack.draw5V, rack.current5VLeft() == null ? null : rack.supply5V, rack.current5VLeft(), "mA", rack.usable5V);
		if (rack.powerLacks24V())
			current24V.showWithoutCapacity(rack.draw24V, "mA", rack.needsExternal24V() ? "需外部供电" : "电源无 24V");
		else
			current24V.show(rack.draw24V, rack.current24VLeft() == null ? null : rack.supply24V, rack.current24VLeft(), "mA", rack.usable24V);
		overall.text = budget.racks.length == 1 ? "" : '${budget.bases} 个基板合计：槽 ${budget.slotsUsed}/${budget.slotsAvailable} · '
			+ '5V ${budget.draw5V}/${budget.supply5V} · 24V ${budget.draw24V}/${budget.supply24V} mA';
		final problems = budget.problems().concat(cabinet.problems());
		final overruns = budget.slotsExceeded() || budget.over5V() || budget.over24V() || budget.ioPointsExceeded()
			|| budget.basesExceeded();
		verdict.text = problems.length == 0 ? "√ 配置有效：槽位、电流和 I/O 点数均在允许范围内" : problems.join("\n");
		verdict.textColor = problems.length == 0 ? Palette.GOOD : overruns ? Palette.WARNING : Palette.NOTICE;
		drawVerdictBackground(overruns);
	}

	/** The rack shown's rail length and loss, the total loss and, with an enclosure, the heat it sheds and the cooling needed. */
	function showCabinet(figures:CabinetFigures, rackIndex:Int):Void {
		final rack = figures.racks[rackIndex < figures.racks.length ? rackIndex : 0];
		var text = '导轨 ${CabinetFigures.millimetres(rack.rail)} · 损耗 ${rack.loss.text()}' + (figures.racks.length == 1 ? "" : ' · 全部 ${figures.total.text()}');
		if (figures.enclosure != null) {
			final e = figures.enclosure;
			final cooling = figures.coolingNeeded();
			text += '\n机柜 ${e.width}×${e.height}×${e.depth}：散热 ${CabinetFigures.oneDecimal(e.shed())} W，'
				+ (cooling == null ? "冷却未知" : cooling > 0 ? figures.coolingText() : "无需冷却");
		}
		cabinetLine.text = text;
	}

	function drawVerdictBackground(overruns:Bool):Void {
		graphics.lineStyle();
		graphics.beginFill(overruns ? Palette.WARNING_SOFT : Palette.PANEL);
		graphics.drawRect(4, verdict.y - 2, panelWidth - 8, panelHeight - verdict.y - 2);
		graphics.endFill();
	}
}
