package orvane.model;

/** Catalogue category of an item; the value is the `kind` attribute of the catalogue file. */
enum abstract ModuleKind(String) to String {
	var Cpu = "cpu";
	var Power = "power";
	var Base = "base";
	var DigitalIn = "di";
	var DigitalOut = "do";
	var AnalogIn = "ai";
	var AnalogOut = "ao";
	var Comm = "comm";
	/** An expansion rack's base, and the interface module and cable that join it to the rack before. */
	var ExpansionBase = "expbase";
	var ExpansionInterface = "expif";
	var ExpansionCable = "cable";
	/** What another item requires to be ordered with it (a connector cable, a terminal block); it takes no slot. */
	var Accessory = "acc";

	public static final all:Array<ModuleKind> = [
		Cpu, Power, Base, DigitalIn, DigitalOut, AnalogIn, AnalogOut, Comm, ExpansionBase, ExpansionInterface, ExpansionCable, Accessory
	];

	/** The kinds catalogue format 2 adds. */
	public static final format2Only:Array<ModuleKind> = [ExpansionBase, ExpansionInterface, ExpansionCable, Accessory];

	/** The kinds that occupy I/O slots of a base, in display order. */
	public static final slotModules:Array<ModuleKind> = [DigitalIn, DigitalOut, AnalogIn, AnalogOut, Comm];

	/** The kinds whose quantity the I/O planner derives from required points. */
	public static final plannedIo:Array<ModuleKind> = [DigitalIn, DigitalOut, AnalogIn, AnalogOut];

	public static function fromString(text:String):Null<ModuleKind> {
		for (kind in all)
			if ((kind : String) == text)
				return kind;
		return null;
	}

	public var label(get, never):String;

	function get_label():String {
		return switch (cast this : ModuleKind) {
			case Cpu: "CPU 单元";
			case Power: "电源";
			case Base: "基板";
			case DigitalIn: "数字量输入";
			case DigitalOut: "数字量输出";
			case AnalogIn: "模拟量输入";
			case AnalogOut: "模拟量输出";
			case Comm: "通信";
			case ExpansionBase: "扩展基板";
			case ExpansionInterface: "扩展接口模块";
			case ExpansionCable: "扩展电缆";
			case Accessory: "附件";
		}
	}

	/** The short tag of an I/O kind, in the selection text (`need=DI:…`) and on the screen ("DI 3 件"). */
	public var tag(get, never):String;

	function get_tag():String {
		return switch (cast this : ModuleKind) {
			case DigitalIn: "DI";
			case DigitalOut: "DO";
			case AnalogIn: "AI";
			case AnalogOut: "AO";
			default: this;
		}
	}

	/** What the − and + of a kind's required points step by: digital points come eight to a group, analogue channels one by one. */
	public var pointsStep(get, never):Int;

	function get_pointsStep():Int {
		return switch (cast this : ModuleKind) {
			case DigitalIn | DigitalOut: 8;
			default: 1;
		}
	}
}
