// The page shell of the Flash control: one Ruffle player and its bridge to
// the host object "host" over QWebChannel.
"use strict";
(() => {
    let host = null;    // the host object once the channel is up
    const outbox = [];  // host calls made before that
    let player = null;

    // The movie's frames run only while somebody works with it. Ruffle asks
    // for an animation frame for every tick and draws the whole stage for each
    // frame it runs, whether anything changed or not: half a processor core
    // for a movie that sits still. So Ruffle's ticks pass through while the
    // movie is loading, and for kAwakeMs after the user's input or a call from
    // the host; otherwise its request is held and granted at the next input
    // or call, whose result then shows at the next animation frame as before.
    // The movie therefore does nothing on its own while quiet (no timers).
    const kAwakeMs = 2000;
    const realRequestFrame = window.requestAnimationFrame.bind(window);
    const realCancelFrame = window.cancelAnimationFrame.bind(window);
    const kHeldFrame = -1;
    let heldTick = null;   // Ruffle's tick, waiting for somebody to work
    let loading = true;    // until the movie reports it is ready, or failed
    let awakeUntil = 0;
    let ticks = 0;         // ticks granted, for the host's checks
    function grant(tick) {
        return realRequestFrame((time) => {
            ticks += 1;
            tick(time);
        });
    }
    window.requestAnimationFrame = (tick) => {
        if (loading || performance.now() < awakeUntil)
            return grant(tick);
        heldTick = tick;
        return kHeldFrame;
    };
    window.cancelAnimationFrame = (id) => {
        if (id === kHeldFrame)
            heldTick = null;
        else
            realCancelFrame(id);
    };
    function wake() {
        awakeUntil = Math.max(awakeUntil, performance.now() + kAwakeMs);
        if (heldTick) {
            const tick = heldTick;
            heldTick = null;
            grant(tick);
        }
    }
    for (const type of ["pointerdown", "pointerup", "pointermove", "keydown", "keyup", "wheel", "focusin"])
        window.addEventListener(type, wake, { capture: true, passive: true });
    // The frames granted so far: a host's check that the movie sits still.
    window.orvaneTicks = () => ticks;

    // Keys the page saw go down and not yet up. Ruffle takes a key for pressed
    // from its key-down until its key-up; when the keyboard leaves the page
    // meanwhile (Alt+F opens a menu, Ctrl+S a dialog), the key-up goes there,
    // and a Ctrl or Alt the movie still takes for held makes it drop every
    // digit typed. Ruffle ignores keys while the page is not focused, so it is
    // given the key-ups it missed just before the next key it takes: those of
    // every key held when the page last lost the keyboard, and of a modifier
    // the new key's event says is up.
    const heldKeys = new Map();  // code (or key, when the event has no code) → { key, code, location, stale }
    const modifierFlag = { Alt: "altKey", Control: "ctrlKey", Shift: "shiftKey", Meta: "metaKey" };
    window.addEventListener("keydown", (event) => {
        if (!event.isTrusted)
            return;
        for (const [id, held] of [...heldKeys]) {
            const flag = modifierFlag[held.key];
            if (!held.stale && (flag === undefined || event[flag]))
                continue;
            heldKeys.delete(id);
            if (player)
                player.dispatchEvent(new KeyboardEvent("keyup", {
                    key: held.key, code: held.code, location: held.location, bubbles: true, cancelable: true, composed: true,
                }));
        }
        heldKeys.set(event.code || event.key, { key: event.key, code: event.code, location: event.location, stale: false });
    }, { capture: true });
    window.addEventListener("keyup", (event) => {
        if (event.isTrusted)
            heldKeys.delete(event.code || event.key);
    }, { capture: true });
    window.addEventListener("blur", () => {
        for (const held of heldKeys.values())
            held.stale = true;
    });
    // Ruffle drops the movie's focus when the page loses the keyboard: after
    // a dialog of the host's, the focused field would be gone and the next
    // key lost. When the page has the keyboard again (after Ruffle's own
    // handling of it), the movie puts the focus back where it was.
    window.addEventListener("focusin", (event) => {
        if (player && event.target === player && typeof player.orvaneKeyboardBack === "function")
            player.orvaneKeyboardBack();
    });

    function toHost(method, ...args) {
        if (host)
            host[method](...args);
        else
            outbox.push([method, args]);
    }

    // runJavaScript results and QWebChannel messages carry text as UTF-8,
    // which has no lone surrogates. A string that holds one goes with U+FFFD
    // in its place, and "lone" lists each offset with the unit it replaces.
    // Without the u flag the test is three times as fast on long texts.
    const loneSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?:^|[^\uD800-\uDBFF])[\uDC00-\uDFFF]/;
    const loneSurrogates = /[\uD800-\uDFFF]/gu;
    function taggedString(text) {
        if (!loneSurrogate.test(text))
            return { t: "string", v: text };
        const lone = [];
        const v = text.replace(loneSurrogates, (unit, offset) => {
            lone.push(offset, unit.charCodeAt(0));
            return "\uFFFD";
        });
        return { t: "string", v, lone };
    }

    // Values keep their ActionScript kind on the way to the host (the tagged
    // values of PageValues.h).
    function tag(value, depth = 0) {
        if (depth > 64)
            return { t: "undefined" };
        switch (typeof value) {
        case "string": return taggedString(value);
        case "number": return { t: "number", v: String(value) };
        case "boolean": return { t: value ? "true" : "false" };
        case "object":
            if (value === null)
                return { t: "null" };
            if (Array.isArray(value))
                return { t: "array", v: value.map((item) => tag(item, depth + 1)) };
            return { t: "object", v: Object.keys(value).map((key) => [taggedString(key), tag(value[key], depth + 1)]) };
        default: return { t: "undefined" };
        }
    }

    function untag(tagged) {
        switch (tagged.t) {
        case "string": return tagged.v;
        case "number": return Number(tagged.v);
        case "true": return true;
        case "false": return false;
        case "null": return null;
        case "array": return tagged.v.map(untag);
        case "object": return Object.fromEntries(tagged.v.map(([key, value]) => [untag(key), untag(value)]));
        default: return undefined;
        }
    }

    // The movie's ExternalInterface.call(name, ...args): Ruffle evaluates
    // "(name)(...args)" through the Function constructor. As with the ActiveX
    // control, every such call goes to the host instead and the name is never
    // run as script.
    const externalCall = /^return \(([\s\S]*)\)\(\.\.\.arguments\);$/;
    window.Function = new Proxy(window.Function, {
        construct(target, args, newTarget) {
            const match = args.length === 1 && typeof args[0] === "string" && externalCall.exec(args[0]);
            if (!match)
                return Reflect.construct(target, args, newTarget);
            const name = match[1];
            // The start-up trace's marks stay in the page (trace.js, there only while tracing).
            if (name === "orvaneTraceMark" && window.orvaneTraceMark)
                return window.orvaneTraceMark;
            return (...callArgs) => {
                // Ready or failed, the movie may go quiet after a while.
                if (name === "zDataLoadEnd" || name === "zError") {
                    loading = false;
                    wake();
                }
                toHost("flashCall", taggedString(name), callArgs.map((arg) => tag(arg)));
                return undefined;
            };
        },
    });

    // Calls a function the movie registered with ExternalInterface.addCallback;
    // only those are own properties of the player element.
    window.orvaneCallMovie = (name, taggedArgs) => {
        if (!player || player.readyState !== 2)
            return { ok: false, error: "no movie is playing" };
        wake();  // what the call changes shows at the next frame
        if (!Object.prototype.hasOwnProperty.call(player, name) || typeof player[name] !== "function")
            return { ok: false, error: `the movie has no function "${name}"` };
        try {
            return { ok: true, value: tag(player[name](...taggedArgs.map(untag))) };
        } catch (error) {
            return { ok: false, error: String(error) };
        }
    };

    window.orvaneUnloadMovie = () => {
        if (player)
            player.remove();
        player = null;
    };

    // What the control shows instead of a movie it cannot play.
    window.orvaneShowFailure = (detail) => {
        window.orvaneUnloadMovie();
        const notice = document.getElementById("failure");
        notice.querySelector(".detail").textContent = detail;
        notice.hidden = false;
    };

    // Files beside the movie that the host serves from memory (the catalogue
    // it checked, so that what the movie reads is what was checked): name →
    // the bytes in base64, or null for a file the host could not read. The
    // movie reads them with fetch(), as it reads every file.
    let servedInPlace = {};
    let movieUrl = "";
    const realFetch = window.fetch.bind(window);
    window.fetch = (resource, init) => {
        const url = resource instanceof Request ? resource.url : String(resource);
        const name = decodeURIComponent(url.slice(url.lastIndexOf("/") + 1));
        if (!Object.prototype.hasOwnProperty.call(servedInPlace, name) || url !== new URL(name, movieUrl).href)
            return realFetch(resource, init);
        const served = servedInPlace[name];
        const response = served === null
            ? new Response(null, { status: 404, statusText: "Not Found" })
            : new Response(Uint8Array.from(atob(served), (c) => c.charCodeAt(0)), { status: 200 });
        Object.defineProperty(response, "url", { value: url });
        return Promise.resolve(response);
    };

    window.orvaneLoadMovie = (url, options, served) => {
        window.orvaneUnloadMovie();
        movieUrl = url;
        servedInPlace = served || {};
        loading = true;
        document.getElementById("failure").hidden = true;
        const created = window.RufflePlayer.newest().createPlayer();
        player = created;
        created.addEventListener("loadedmetadata", () => toHost("movieLoaded"));
        created.onFSCommand = (command, args) => {
            toHost("fsCommand", String(command), String(args));
            return true;
        };
        // Ruffle shows its panic screen when it cannot play the movie.
        const panicWatch = new MutationObserver(() => {
            const panic = created.shadowRoot.getElementById("panic");
            if (!panic)
                return;
            panicWatch.disconnect();
            created.classList.add("failed");
            if (player === created)
                toHost("movieFailed", "Ruffle stopped the movie: " + panic.textContent.trim().slice(0, 300));
        });
        panicWatch.observe(created.shadowRoot, { childList: true, subtree: true });
        document.body.appendChild(created);
        created.load({ ...options, url }).catch((error) => {
            created.classList.add("failed");
            toHost("movieFailed", String(error));
        });
    };

    // Ruffle hands the movie a wheel turn given in pixels as whole steps of
    // 100 pixels and drops the rest, and the engine reports one notch as about
    // 60: one notch would never reach the movie. Turns are therefore given to
    // Ruffle again as line steps, one per 50 pixels (so one per notch); the
    // small turns of a touchpad add up until they make a step.
    const kPixelsPerStep = 50;
    let wheelPixels = 0;
    window.addEventListener("wheel", (event) => {
        if (!event.isTrusted || event.deltaMode !== WheelEvent.DOM_DELTA_PIXEL || event.deltaY === 0)
            return;
        event.stopImmediatePropagation();
        event.preventDefault();
        if (Math.sign(event.deltaY) !== Math.sign(wheelPixels))
            wheelPixels = 0;
        wheelPixels += event.deltaY;
        const steps = Math.trunc(wheelPixels / kPixelsPerStep);
        if (steps === 0)
            return;
        wheelPixels = 0;
        event.composedPath()[0].dispatchEvent(new WheelEvent("wheel", {
            deltaY: steps, deltaMode: WheelEvent.DOM_DELTA_LINE,
            clientX: event.clientX, clientY: event.clientY, screenX: event.screenX, screenY: event.screenY,
            ctrlKey: event.ctrlKey, shiftKey: event.shiftKey, altKey: event.altKey, metaKey: event.metaKey,
            bubbles: true, cancelable: true, composed: true,
        }));
    }, { capture: true, passive: false });

    new QWebChannel(qt.webChannelTransport, (channel) => {
        host = channel.objects.host;
        for (const [method, args] of outbox.splice(0))
            host[method](...args);
        host.pageReady();
    });
})();
