package orvane.ui;

import flash.display.InteractiveObject;

/**
	A group of controls the keyboard treats as one stop: Tab goes from area to area, the arrow
	keys from control to control inside one. The controls are given row by row in screen order;
	the navigator leaves out those that cannot take the focus now (hidden, disabled).
**/
class FocusArea {
	public final rows:() -> Array<Array<InteractiveObject>>;
	/** Where Tab enters the area when the user has not been in it yet (a list's chosen row); null: its first control. */
	public final entry:() -> Null<InteractiveObject>;

	public function new(rows:() -> Array<Array<InteractiveObject>>, ?entry:() -> Null<InteractiveObject>) {
		this.rows = rows;
		this.entry = entry != null ? entry : () -> null;
	}

	/** An area of one row. */
	public static function row(controls:() -> Array<InteractiveObject>):FocusArea {
		return new FocusArea(() -> [controls()]);
	}

	/** An area of one column. */
	public static function column(controls:() -> Array<InteractiveObject>, ?entry:() -> Null<InteractiveObject>):FocusArea {
		return new FocusArea(() -> [for (control in controls()) [control]], entry);
	}
}
