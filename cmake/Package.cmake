# The Windows build's packages, made from the staged program folder dist/Ravilo:
#   Ravilo-Setup-<version>.exe  the per-user installer (NSIS; Debian's nsis package)
#   Ravilo-<version>.zip        the portable folder with a README.txt
# Whatever any target of this build stages into dist/Ravilo ships in both. The packaging
# step is set up once this directory is fully read, so that it comes after every target
# that stages something, wherever that target is declared.
find_program(RAVILO_MAKENSIS makensis REQUIRED)
# The installer's budget: the build fails when the installer is larger (5 MB).
set(RAVILO_MAX_SETUP_BYTES 5000000)
set(RAVILO_SETUP ${CMAKE_BINARY_DIR}/Ravilo-Setup-${PROJECT_VERSION}.exe)
set(RAVILO_ZIP ${CMAKE_BINARY_DIR}/Ravilo-${PROJECT_VERSION}.zip)
configure_file(${CMAKE_SOURCE_DIR}/installer/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt @ONLY
               NEWLINE_STYLE WIN32)

function(ravilo_collect_executables dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(found)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    ravilo_collect_executables(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(ravilo_add_packages)
  ravilo_collect_executables(${CMAKE_SOURCE_DIR} exes)
  file(GLOB_RECURSE data_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
  add_custom_command(
    OUTPUT ${RAVILO_SETUP} ${RAVILO_ZIP}
    COMMAND ${CMAKE_COMMAND}
            -DDIST=${RAVILO_DIST} -DWORK=${CMAKE_BINARY_DIR}/package
            -DREADME=${CMAKE_BINARY_DIR}/package/README.txt
            -DNSI=${CMAKE_SOURCE_DIR}/installer/Ravilo.nsi -DMAKENSIS=${RAVILO_MAKENSIS}
            -DICON=${CMAKE_SOURCE_DIR}/resources/Ravilo.ico -DSIDE=${CMAKE_SOURCE_DIR}/installer/side.bmp
            -DVERSION=${PROJECT_VERSION} -DSETUP=${RAVILO_SETUP} -DZIP=${RAVILO_ZIP}
            -DMAX_SETUP_BYTES=${RAVILO_MAX_SETUP_BYTES}
            -P ${CMAKE_SOURCE_DIR}/cmake/MakePackages.cmake
    DEPENDS ${exes} ${data_files} ${RAVILO_DATA_STAMP} ${CMAKE_SOURCE_DIR}/installer/Ravilo.nsi
            ${CMAKE_SOURCE_DIR}/resources/Ravilo.ico ${CMAKE_SOURCE_DIR}/installer/side.bmp
            ${CMAKE_SOURCE_DIR}/cmake/MakePackages.cmake ${CMAKE_BINARY_DIR}/package/README.txt
    COMMENT "Packing Ravilo-Setup-${PROJECT_VERSION}.exe and Ravilo-${PROJECT_VERSION}.zip"
    VERBATIM)
  add_custom_target(packages ALL DEPENDS ${RAVILO_SETUP} ${RAVILO_ZIP})
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL ravilo_add_packages)
