# Copies the files Ruffle runs with from its npm package (SOURCE) to the
# runtime folder beside the executable (DESTINATION), replacing older ones.
file(REMOVE_RECURSE ${DESTINATION})
file(GLOB runtime_files ${SOURCE}/*.js ${SOURCE}/*.wasm ${SOURCE}/LICENSE*)
if(NOT EXISTS ${SOURCE}/ruffle.js)
  message(FATAL_ERROR "The Ruffle package at ${SOURCE} has no ruffle.js")
endif()
file(COPY ${runtime_files} DESTINATION ${DESTINATION})
# Newer than its inputs, so the build does not copy again.
file(TOUCH ${DESTINATION}/ruffle.js)
