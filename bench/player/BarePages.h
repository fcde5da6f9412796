#pragma once
// The pages the program's start is measured against, each run in a process of
// its own (the benchmark starts itself with --bare or --empty). Both write the
// start-up trace like the program.
//   bare page:  a plain QWebEngineView that plays the movie with the same Ruffle
//               and no more; ready ("zDataLoadEnd") when the movie calls zDataLoadEnd.
//   empty page: the same view with an empty document; ready at "page loaded".

#include <QString>

class QApplication;

int RunBarePage(QApplication& app, const QString& ruffleDir, const QString& movie);
int RunEmptyPage(QApplication& app);
