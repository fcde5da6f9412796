#pragma once
// How Qt and Chromium draw and run the player, chosen for the machine before
// QApplication exists (Qt and Qt WebEngine read these variables once, at start).
//
// - On an X display whose OpenGL would be drawn by the CPU (Mesa's llvmpipe on
//   Xvfb, Xvnc or a remote display, or no GPU device at all), Qt draws without
//   OpenGL (QT_XCB_GL_INTEGRATION=none, QT_QUICK_BACKEND=software). Chromium
//   then composites in software too. The picture is the same (Chromium refuses
//   WebGL on such a renderer anyway, so Ruffle draws with its canvas renderer
//   either way) and the program no longer loads and runs a software OpenGL
//   stack: about 80 MiB less at start (bench/README.md). With a GPU nothing
//   changes.
// - V8 compiles the player's WebAssembly (14 MB) function by function when
//   first called instead of all of it at start (--wasm-lazy-compilation), and
//   keeps its young generation small (--max-semi-space-size=1): the garbage of
//   the player's frames no longer stands in up to 16 MB of young space while
//   the page is quiet (bench/README.md, open / change / save cycles).
//
// A variable the user has set is left as it is; Chromium flags of their own
// in QTWEBENGINE_CHROMIUM_FLAGS are kept, and V8 flags of their own win.

#include <QProcessEnvironment>
#include <QString>

#include <utility>
#include <vector>

namespace orvane {

struct DisplayFacts {
    bool x11 = false;        // Qt will draw on an X display (its xcb platform)
    bool hardwareGl = true;  // that display's OpenGL is drawn by a GPU
};

using EnvironmentChanges = std::vector<std::pair<QString, QString>>;

// The variables to set, given the display and the environment as it is.
[[nodiscard]] EnvironmentChanges EngineEnvironment(const DisplayFacts& display, const QProcessEnvironment& environment);

// The display this process will draw on, as far as it can be told without
// loading OpenGL: the platform Qt will choose, the GPU device nodes and the
// X server's direct-rendering extensions (DRI3, DRI2 or NVIDIA's).
[[nodiscard]] DisplayFacts LookAtDisplay(const QProcessEnvironment& environment);

// Whether the X server lets clients render on its GPU: Mesa needs DRI3 or DRI2,
// NVIDIA's driver has its own. Xvfb and Xvnc offer none. A server that cannot
// be reached counts as able: Qt will report it.
[[nodiscard]] bool XServerRendersDirectly(const QString& display);

// Looks at the display and sets the variables in this process's environment.
void ChooseEngineEnvironment();

}  // namespace orvane
