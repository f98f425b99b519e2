# Installs the build into a temporary prefix as a user would
# (cmake --install BUILD --prefix PREFIX), checks what was installed and runs
# the installed program with "-s" on a small pose. Arguments: BUILD, SOURCE
# (the pose to convert), WORK (a scratch folder, emptied first).
file(REMOVE_RECURSE "${WORK}")
set(prefix "${WORK}/prefix with blank")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()

# The program finds its help files and icons beside itself.
file(REAL_PATH "${prefix}/bin/vandrel" program)
get_filename_component(folder "${program}" DIRECTORY)
foreach(file VDLLicense.txt VHistory.htm VHelp.htm README.md Icons/CR2.png Icons/LT2.png)
  if(NOT EXISTS "${folder}/${file}")
    message(FATAL_ERROR "${file} is not installed beside the program (${folder})")
  endif()
endforeach()
if(EXISTS "${folder}/.gitattributes")
  message(FATAL_ERROR "the help folder's hidden files were installed")
endif()
foreach(size 16 22 24 32 48 64 128 256)
  if(NOT EXISTS "${prefix}/share/icons/hicolor/${size}x${size}/apps/vandrel.png")
    message(FATAL_ERROR "the program's ${size} px icon is not installed")
  endif()
endforeach()
if(EXISTS "${folder}/Icons/hicolor")
  message(FATAL_ERROR "the theme's icons were installed beside the program too")
endif()
# The manifest lists everything installed, links included, and nothing else.
file(STRINGS "${BUILD}/install_manifest.txt" manifest)
file(GLOB_RECURSE installed LIST_DIRECTORIES false "${prefix}/*")
list(SORT manifest)
list(SORT installed)
if(NOT manifest STREQUAL installed)
  set(missing ${installed})
  list(REMOVE_ITEM missing ${manifest})
  set(extra ${manifest})
  list(REMOVE_ITEM extra ${installed})
  message(FATAL_ERROR "install_manifest.txt differs from what was installed:\n  not listed: ${missing}\n  not installed: ${extra}")
endif()
file(READ "${prefix}/share/applications/vandrel.desktop" entry)
string(FIND "${entry}" "\nExec=\"${prefix}/bin/vandrel\" %f\n" at)
if(at LESS 0)
  message(FATAL_ERROR "the desktop entry does not start the installed program:\n${entry}")
endif()

# The installed program writes the material pose of a pose file over it
# (exit code 0 only when it was written).
file(MAKE_DIRECTORY "${WORK}/home" "${WORK}/library")
file(COPY_FILE "${SOURCE}" "${WORK}/library/pose.pz2")
set(ENV{HOME} "${WORK}/home")
set(ENV{WINEPREFIX} "${WORK}/wine")
foreach(variable VANDREL_HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM)
  unset(ENV{${variable}})
endforeach()
execute_process(COMMAND "${prefix}/bin/vandrel" -s "${WORK}/library/pose.pz2"
  RESULT_VARIABLE rc ERROR_VARIABLE err INPUT_FILE /dev/null)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the installed vandrel -s failed (${rc}):\n${err}")
endif()
# Its preferences went to the user's config folder, none beside the program.
if(NOT EXISTS "${WORK}/home/.config/vandrel/Settings.ini" OR EXISTS "${folder}/Settings.ini")
  message(FATAL_ERROR "the installed vandrel kept its preferences in the wrong place:\n${err}")
endif()
