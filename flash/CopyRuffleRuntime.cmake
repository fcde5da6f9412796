# Copies the files Ruffle runs with from its npm package (SOURCE) to the
# runtime folder beside the executable (DESTINATION), replacing older ones.
#
# Ruffle 0.6.0 comes as two builds, each a core chunk and its WebAssembly
# module of about 14 MB: one using WebAssembly extensions (bulk memory, SIMD,
# saturating conversions, sign extension, reference types) and a vanilla one
# for engines without them. ruffle.js tests the engine and loads one build,
# with no fallback to the other. Qt WebEngine 6.4 (Chromium 102) has every
# extension, so only that build is copied; the player tests play a movie
# with nothing else beside it. The licences are in the package's copyright
# file (packaging/copyright).
set(extensions_build core.ruffle.c80159b526e567babaf5.js 826bb0938097485a2c9d.wasm)

file(REMOVE_RECURSE ${DESTINATION})
if(NOT EXISTS ${SOURCE}/ruffle.js)
  message(FATAL_ERROR "The Ruffle package at ${SOURCE} has no ruffle.js")
endif()
foreach(file ${extensions_build})
  if(NOT EXISTS ${SOURCE}/${file})
    message(FATAL_ERROR "The Ruffle package at ${SOURCE} has no ${file}: not the pinned Ruffle 0.6.0")
  endif()
endforeach()
list(TRANSFORM extensions_build PREPEND ${SOURCE}/)
file(COPY ${SOURCE}/ruffle.js ${extensions_build} DESTINATION ${DESTINATION})
# Newer than its inputs, so the build does not copy again.
file(TOUCH ${DESTINATION}/ruffle.js)
