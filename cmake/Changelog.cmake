# packaging/changelog is the record of the releases, newest first, in
# Debian's format. Its first entry must be the version being built; its date
# is the release's date, which the manual page shows (SKEIN10_RELEASE_DATE,
# "11 Dec 2026"), so that a build of the same sources writes the same files.
set(skein10_changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${skein10_changelog})
file(STRINGS ${skein10_changelog} skein10_changelog_lines)
list(GET skein10_changelog_lines 0 skein10_changelog_title)
if(NOT skein10_changelog_title MATCHES "^skein10 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${skein10_changelog_title}', not version ${PROJECT_VERSION}")
endif()
foreach(line IN LISTS skein10_changelog_lines)
  if(line MATCHES "^ -- .*>  [A-Z][a-z][a-z], ([0-9]+ [A-Z][a-z][a-z] [0-9]+) ")
    set(SKEIN10_RELEASE_DATE ${CMAKE_MATCH_1})
    break()
  endif()
endforeach()
if(NOT SKEIN10_RELEASE_DATE)
  message(FATAL_ERROR "packaging/changelog: the first entry has no trailer line with its date")
endif()
