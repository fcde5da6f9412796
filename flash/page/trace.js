// The page's start-up marks, put in only while the host traces its start
// (StartTrace.h). Each phase is kept once with its wall-clock time; the host
// takes them with orvaneTakeTraceMarks(). The movie marks its own phases
// through ExternalInterface.call("orvaneTraceMark", phase).
"use strict";
(() => {
    const marks = [];
    const mark = (phase) => {
        if (!marks.some(([known]) => known === phase))
            marks.push([phase, performance.timeOrigin + performance.now()]);
    };
    window.orvaneTraceMark = (phase) => mark(String(phase));
    window.orvaneTakeTraceMarks = () => marks.splice(0);

    document.addEventListener("DOMContentLoaded", () => mark("page loaded"));
    // Ruffle's player element tells when it has read the movie's header.
    window.addEventListener("loadedmetadata", () => mark("movie header read"), true);
    for (const name of ["instantiateStreaming", "instantiate"]) {
        const original = WebAssembly[name];
        WebAssembly[name] = function (...args) {
            return original.apply(this, args).then((result) => {
                mark("WebAssembly compiled");
                return result;
            });
        };
    }
})();
