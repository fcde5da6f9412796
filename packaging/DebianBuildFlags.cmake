# Debian's build flags for the shipped programs and the libraries they are
# made of, as dpkg-buildflags gives them to a package built with all
# hardening features: fortified functions (_FORTIFY_SOURCE), the stack
# protector, format checks, and relocations made read-only and bound at start
# (relro, bindnow). Executables are position-independent already (both
# compilers' default here). Left out are -g and -O2, which the build type
# gives (RelWithDebInfo: the same), and -ffile-prefix-map, whose place the
# project's own source prefix map takes. The fuzz targets keep their own
# flags: fortified functions would hide overflows from the address sanitizer.
option(ORVANE_DEBIAN_BUILD_FLAGS "Build the programs with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)

function(orvane_debian_flags kind result)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${DPKG_BUILDFLAGS} --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^(-g|-O[0-9s]?|-ffile-prefix-map=.*)$")
  # Fortified functions need an optimised build.
  list(TRANSFORM flags REPLACE "^(-D_FORTIFY_SOURCE=.*)$" "$<$<NOT:$<CONFIG:Debug>>:\\1>")
  set(${result} ${flags} PARENT_SCOPE)
endfunction()

# Gives the targets Debian's compile flags, and executables its link flags.
function(orvane_use_debian_build_flags)
  if(NOT ORVANE_DEBIAN_BUILD_FLAGS OR NOT DPKG_BUILDFLAGS)
    return()
  endif()
  orvane_debian_flags(CPPFLAGS cpp_flags)
  orvane_debian_flags(CXXFLAGS cxx_flags)
  orvane_debian_flags(LDFLAGS link_flags)
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE ${cpp_flags} ${cxx_flags})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL EXECUTABLE)
      target_link_options(${target} PRIVATE ${link_flags})
    endif()
  endforeach()
endfunction()
