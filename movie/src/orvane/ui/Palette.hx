package orvane.ui;

/** Colours of the movie. */
class Palette {
	public static inline final HEADER = 0x1F3A5F;
	public static inline final HEADER_TAB = 0x2E5480;
	public static inline final PANEL = 0xF4F6F9;
	public static inline final PANEL_LINE = 0xC9D1DC;
	public static inline final TITLE_BAR = 0xDDE4EE;
	public static inline final TEXT = 0x1E2630;
	public static inline final TEXT_DIM = 0x5C6773;
	public static inline final TEXT_LIGHT = 0xFFFFFF;
	public static inline final ACCENT = 0x2F6DB5;
	public static inline final ACCENT_SOFT = 0xD6E5F7;
	public static inline final BUTTON = 0xFFFFFF;
	public static inline final BUTTON_HOVER = 0xE8F0FA;
	public static inline final DISABLED = 0xB7BEC7;
	public static inline final GOOD = 0x2E8B57;
	public static inline final WARNING = 0xD12B2B;
	public static inline final WARNING_SOFT = 0xFBE3E3;
	public static inline final NOTICE = 0xB56A00;
	/** The ring around the focused control, whatever kind it is. */
	public static inline final FOCUS = 0xF08C00;
}
