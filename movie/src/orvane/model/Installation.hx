package orvane.model;

/** How an enclosure stands, which decides which of its faces shed heat. */
enum abstract Installation(String) {
	/** 单独落地: a single enclosure, free on every side. */
	var FreeStanding = "free";
	/** 靠墙安装: a single enclosure with its back against a wall. */
	var AgainstWall = "wall";
	/** 成排安装: an enclosure in the middle of a row, free-standing. */
	var InRow = "row";

	public static final all:Array<Installation> = [FreeStanding, AgainstWall, InRow];

	public var label(get, never):String;

	function get_label():String {
		return switch (cast this : Installation) {
			case FreeStanding: "单独落地";
			case AgainstWall: "靠墙安装";
			case InRow: "成排安装";
		}
	}

	public static function fromTag(tag:String):Null<Installation> {
		for (installation in all)
			if ((cast installation : String) == tag)
				return installation;
		return null;
	}
}
