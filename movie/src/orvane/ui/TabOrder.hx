package orvane.ui;

import flash.display.DisplayObjectContainer;
import flash.display.InteractiveObject;

/**
	Numbers the tab stops in the order they were added, which is the order they appear on screen.
	The player then goes through them in that order (hidden ones skipped) instead of guessing it
	from their positions, which skips stops that line up.
**/
class TabOrder {
	public static function number(root:DisplayObjectContainer):Void {
		var next = 1;
		function visit(container:DisplayObjectContainer):Void {
			for (i in 0...container.numChildren) {
				final child = container.getChildAt(i);
				if (Std.isOfType(child, InteractiveObject) && (cast child : InteractiveObject).tabEnabled)
					(cast child : InteractiveObject).tabIndex = next++;
				if (Std.isOfType(child, DisplayObjectContainer))
					visit(cast child);
			}
		}
		visit(root);
	}
}
