package orvane.model;

/** What an enclosure is made of, and its heat transfer coefficient k in W/m²K. */
enum abstract EnclosureMaterial(String) {
	var SheetSteel = "steel";
	var StainlessSteel = "stainless";
	var Aluminium = "aluminium";

	public static final all:Array<EnclosureMaterial> = [SheetSteel, StainlessSteel, Aluminium];

	public var label(get, never):String;

	function get_label():String {
		return switch (cast this : EnclosureMaterial) {
			case SheetSteel: "钢板";
			case StainlessSteel: "不锈钢";
			case Aluminium: "铝";
		}
	}

	public var coefficient(get, never):Float;

	function get_coefficient():Float {
		return switch (cast this : EnclosureMaterial) {
			case SheetSteel: 5.5;
			case StainlessSteel: 4.5;
			case Aluminium: 12;
		}
	}

	public static function fromTag(tag:String):Null<EnclosureMaterial> {
		for (material in all)
			if ((cast material : String) == tag)
				return material;
		return null;
	}
}
