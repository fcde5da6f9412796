# The releases of the news file as AppStream <release> elements.
#
# A release is a line "VERSION (YYYY-MM-DD)", then its changes, each begun
# by "- " and continued on lines indented by two spaces. Everything before
# the first release line is the file's own introduction.
#   orvane_news_releases(NEWS_FILE XML_VARIABLE NEWEST_VERSION_VARIABLE)
function(orvane_news_releases news xml_result newest_result)
  file(READ ${news} text)
  # XML text from here on. A ";" would split the list of lines: it waits as
  # a SUB character until its line is taken.
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(ASCII 26 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(xml "")
  set(newest "")
  set(item "")
  set(in_release FALSE)
  # Closes the open item and, with "release", the open release.
  macro(close_item)
    if(NOT item STREQUAL "")
      string(APPEND xml "          <li>${item}</li>\n")
      set(item "")
    endif()
  endmacro()
  macro(close_release)
    close_item()
    if(in_release)
      string(APPEND xml "        </ul>\n      </description>\n    </release>\n")
    endif()
  endmacro()

  foreach(line IN LISTS lines)
    string(REPLACE "${semicolon}" ";" line "${line}")
    if(line MATCHES "^([0-9]+(\\.[0-9]+)*) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
      close_release()
      set(in_release TRUE)
      if(newest STREQUAL "")
        set(newest ${CMAKE_MATCH_1})
      endif()
      string(APPEND xml "    <release version=\"${CMAKE_MATCH_1}\" date=\"${CMAKE_MATCH_3}\">\n"
                        "      <description>\n        <ul>\n")
    elseif(NOT in_release)
    elseif(line MATCHES "^- (.+)$")
      close_item()
      set(item "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  +(.+)$" AND NOT item STREQUAL "")
      string(APPEND item " ${CMAKE_MATCH_1}")
    else()
      close_item()
    endif()
  endforeach()
  close_release()

  if(newest STREQUAL "")
    message(FATAL_ERROR "${news} names no release (a line \"VERSION (YYYY-MM-DD)\")")
  endif()
  string(REGEX REPLACE "\n$" "" xml "${xml}")
  set(${xml_result} "${xml}" PARENT_SCOPE)
  set(${newest_result} ${newest} PARENT_SCOPE)
endfunction()
