# Turns project(Ravilo VERSION x.y.z) into the header that the program and its resources read.
set(RAVILO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
# The About window writes the version as "v" and its three digits: 0.4.0 is "v040".
set(RAVILO_ABOUT_VERSION "v${PROJECT_VERSION_MAJOR}${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH}")
configure_file(${CMAKE_SOURCE_DIR}/resources/RaviloVersion.h.in ${RAVILO_GENERATED_DIR}/RaviloVersion.h @ONLY)

# The manifest is a plain file that the resource compiler embeds as it is, so its assembly
# version cannot come from a macro: refuse to build when it no longer matches.
file(READ ${CMAKE_SOURCE_DIR}/resources/Ravilo.manifest RAVILO_MANIFEST)
string(REGEX MATCH "name=\"MirenWorks.Ravilo\" version=\"([0-9.]+)\"" _ "${RAVILO_MANIFEST}")
if(NOT CMAKE_MATCH_1 STREQUAL "${PROJECT_VERSION}.0")
  message(FATAL_ERROR "resources/Ravilo.manifest has version '${CMAKE_MATCH_1}'; "
                      "set it to ${PROJECT_VERSION}.0 to match project(Ravilo VERSION ${PROJECT_VERSION})")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/Ravilo.manifest)
