package orvane.host;

/** Addresses of the files that lie beside the movie (its catalogue, its font file). */
class BesideMovie {
	/** fileName in the movie's folder, or in the player's base folder when the movie's address is unknown. */
	public static function address(movieUrl:Null<String>, fileName:String):String {
		if (movieUrl == null || movieUrl == "")
			return fileName;
		var folder = movieUrl;
		for (cut in ["?", "#"])
			if (folder.indexOf(cut) >= 0)
				folder = folder.substr(0, folder.indexOf(cut));
		return folder.substr(0, folder.lastIndexOf("/") + 1) + fileName;
	}
}
