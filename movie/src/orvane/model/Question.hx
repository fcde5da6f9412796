package orvane.model;

/**
	What the screen asks before it acts: the heading, the text, the label of the button that goes
	ahead (null: there is nothing to go ahead with, only the answer that keeps things as they are)
	and of the one that does not (null: the dialog's own "取消").
**/
typedef Question = {heading:String, text:String, proceed:Null<String>, keep:Null<String>};
