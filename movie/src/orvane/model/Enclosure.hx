package orvane.model;

/**
	The enclosure the controller goes in, as the user enters it: outside width, height and depth
	in mm, how it stands, its material, the ambient temperature and the highest temperature
	allowed inside (°C). The heat its surface sheds without cooling follows IEC/TR 60890 as
	DIN VDE 0660-500 Bbl 2 tabulates it: an effective surface A by the installation, and
	Q = k·A·ΔT with ΔT = inside − ambient (negative when the air outside is the warmer: the
	enclosure then takes heat in).
**/
class Enclosure {
	public static inline final MIN_SIZE = 100;
	public static inline final MAX_SIZE = 5000;
	public static inline final MIN_TEMPERATURE = -40;
	public static inline final MAX_TEMPERATURE = 80;
	/** Enclosure widths as the trade builds them, in mm: the next one is the remedy for a rail too long. */
	public static final standardWidths = [300, 400, 500, 600, 800, 1000, 1200, 1600];

	public final width:Int;
	public final height:Int;
	public final depth:Int;
	public final installation:Installation;
	public final material:EnclosureMaterial;
	public final ambient:Int;
	public final insideMax:Int;

	public function new(width:Int, height:Int, depth:Int, installation:Installation, material:EnclosureMaterial, ambient:Int, insideMax:Int) {
		this.width = width;
		this.height = height;
		this.depth = depth;
		this.installation = installation;
		this.material = material;
		this.ambient = ambient;
		this.insideMax = insideMax;
	}

	/** The same enclosure `width` mm wide. */
	public function widened(width:Int):Enclosure {
		return new Enclosure(width, height, depth, installation, material, ambient, insideMax);
	}

	/** The surface that sheds heat, in m². */
	public function surface():Float {
		final w = width / 1000, h = height / 1000, d = depth / 1000;
		return switch (installation) {
			case FreeStanding: 1.8 * h * (w + d) + 1.4 * w * d;
			case AgainstWall: 1.4 * w * (h + d) + 1.8 * d * h;
			case InRow: 1.8 * w * h + 1.4 * w * d + d * h;
		}
	}

	/** The heat the surface sheds at the highest inside temperature, in W (negative: it takes heat in). */
	public function shed():Float {
		return material.coefficient * surface() * (insideMax - ambient);
	}

	/** The smallest standard width of at least `mm`; null when none is that wide. */
	public static function standardWidthFor(mm:Float):Null<Int> {
		for (width in standardWidths)
			if (width >= mm)
				return width;
		return null;
	}

	/** As the selection text's `cabinet=` line holds it: "600,2000,500,free,steel,35,45". */
	public function write():String {
		return [Std.string(width), Std.string(height), Std.string(depth), cast installation, cast material, Std.string(ambient),
			Std.string(insideMax)].join(",");
	}

	/** Reads what `write` wrote; null for anything else or a figure out of range. */
	public static function read(text:String):Null<Enclosure> {
		final fields = text.split(",");
		if (fields.length != 7)
			return null;
		final sizes = [for (i in 0...3) number(fields[i], MIN_SIZE, MAX_SIZE)];
		final installation = Installation.fromTag(fields[3]);
		final material = EnclosureMaterial.fromTag(fields[4]);
		final ambient = number(fields[5], MIN_TEMPERATURE, MAX_TEMPERATURE);
		final inside = number(fields[6], MIN_TEMPERATURE, MAX_TEMPERATURE);
		if (sizes.contains(null) || installation == null || material == null || ambient == null || inside == null)
			return null;
		return new Enclosure(sizes[0], sizes[1], sizes[2], installation, material, ambient, inside);
	}

	/** A whole number as written (an optional minus, no leading zeros) within `min`..`max`; null otherwise. */
	public static function number(text:String, min:Int, max:Int):Null<Int> {
		if (!~/^-?(0|[1-9][0-9]{0,3})$/.match(text) || text == "-0")
			return null;
		final value = Std.parseInt(text);
		return value < min || value > max ? null : value;
	}
}
