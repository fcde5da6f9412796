package orvane.ui;

import flash.display.DisplayObject;
import flash.display.Sprite;
import flash.events.FocusEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import orvane.model.CatalogItem;

/**
	One line under the panels with the full code, description and figures of the item the mouse
	points at, or else of the focused one: rows and slots cut long descriptions and codes short.
	While there is none, the catalogue's edition and a hint.
	It listens to the screen: any control that implements ShowsItem is found by walking up from
	where the mouse or the focus is.
**/
class DetailsLine extends Sprite {
	static inline final HINT = "将鼠标移到产品或槽位上，或用键盘选中它，这里显示完整型号、说明和数据。";

	final line:TextField;
	/** What shows while no item is pointed at or focused: the catalogue's edition, and the hint. */
	final idle:String;
	var pointed:Null<CatalogItem>;
	var focused:Null<CatalogItem>;

	/** `edition`: the catalogue in use ("产品目录 2026.2 版（2026-12-07）"), null when it names none. */
	public function new(screen:Sprite, x:Float, y:Float, width:Float, edition:Null<String>) {
		super();
		idle = edition == null ? HINT : edition + "。" + HINT;
		this.x = x;
		this.y = y;
		graphics.beginFill(Palette.TITLE_BAR);
		graphics.drawRect(0, 0, width, 18);
		graphics.endFill();
		line = TextFactory.label(idle, 6, 0, width - 12, 12, Palette.TEXT_DIM);
		addChild(line);
		screen.addEventListener(MouseEvent.MOUSE_OVER, (event:MouseEvent) -> {
			pointed = itemAt(event.target);
			draw();
		});
		screen.addEventListener(MouseEvent.ROLL_OUT, _ -> {
			pointed = null;
			draw();
		});
		screen.addEventListener(FocusEvent.FOCUS_IN, (event:FocusEvent) -> {
			focused = itemAt(event.target);
			draw();
		});
	}

	/** Shows the focused control's item again after the screen changed under it (a slot now holds another module). */
	public function refocus(control:Null<DisplayObject>):Void {
		focused = itemAt(control);
		draw();
	}

	function draw():Void {
		final item = pointed != null ? pointed : focused;
		line.text = item == null ? idle : describe(item);
		line.textColor = item == null ? Palette.TEXT_DIM : Palette.TEXT;
	}

	static function itemAt(target:Dynamic):Null<CatalogItem> {
		var at:DisplayObject = Std.isOfType(target, DisplayObject) ? target : null;
		while (at != null && !Std.isOfType(at, ShowsItem))
			at = at.parent;
		return at == null ? null : (cast at : ShowsItem).shownItem();
	}

	static function describe(item:CatalogItem):String {
		final figures = item.unknown ? ["现用产品目录中没有此型号，数据不明，不计入任何预算"] : switch (item.kind) {
			case Cpu: [item.maxIoPoints > 0 ? '上限 ${item.maxIoPoints} 点' : "点数不限", '内置 I/O ${item.points.total()} 点', '5V ${item.draw5V} mA', '24V ${item.draw24V} mA'];
			case Power: ['输出 5V ${item.supply5V} mA', '24V ${item.supply24V} mA'];
			case Base | ExpansionBase: ['${item.slots} 槽', '5V ${item.draw5V} mA'];
			case ExpansionInterface | ExpansionCable: ['每个扩展基板 1 件', '5V ${item.draw5V} mA'];
			case Accessory: ["随需要它的产品自动列入物料清单"];
			default: [ModuleRow.figures(item)].concat(item.points.total() > 0 ? ['${item.pointsOfOwnKind()} 点'] : []);
		}
		final order = item.orderNumber == "" ? [] : ['订货号 ${item.orderNumber}'];
		final accessories = item.accessories.length == 0 ? [] : ["需配 " + [for (need in item.accessories) '${need.item.code}×${need.quantity}'].join("、")];
		return '${item.code}　${item.kind.label}　${item.shownDescription()}　' + figures.concat(accessories).concat(order).join(" · ");
	}
}
