package orvane.model;

using StringTools;

/**
	Whose selection it is: project name, customer, author and a note, shown in every output of
	the bill of materials. Each is one line of text within its length; control characters become
	blanks, so a field never breaks a line of the texts it goes into.
**/
class ProjectData {
	public static final fields:Array<{key:String, label:String, maxLength:Int}> = [
		{key: "name", label: "项目名称", maxLength: 60},
		{key: "customer", label: "客户", maxLength: 60},
		{key: "author", label: "编制", maxLength: 30},
		{key: "note", label: "备注", maxLength: 200}
	];

	final values:Map<String, String> = [];

	public function new() {}

	public function copy():ProjectData {
		final twin = new ProjectData();
		for (key => value in values)
			twin.values[key] = value;
		return twin;
	}

	/** The field's text; "" when it is not set. */
	public function get(key:String):String {
		final value = values[key];
		return value == null ? "" : value;
	}

	/** Sets a field, cleaned and cut to its length; an unknown key changes nothing. */
	public function set(key:String, text:String):Void {
		final field = fields.filter(f -> f.key == key)[0];
		if (field == null)
			return;
		final cleaned = clean(text, field.maxLength);
		if (cleaned == "")
			values.remove(key);
		else
			values[key] = cleaned;
	}

	public function isEmpty():Bool {
		return values.keys().hasNext() == false;
	}

	static function clean(text:String, maxLength:Int):String {
		final buffer = new StringBuf();
		var length = 0;
		for (code in new haxe.iterators.StringIteratorUnicode(text.trim())) {
			if (length == maxLength)
				break;
			buffer.addChar(code < 32 || code == 127 ? 32 : code);
			length++;
		}
		return buffer.toString().trim();
	}
}
