# Part of "cmake --install": links bin/vandrel to the installed program and
# writes the desktop entry that starts it. Runs with the install's
# CMAKE_INSTALL_PREFIX (and DESTDIR) and VANDREL_INSTALL_DIR set.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

file(MAKE_DIRECTORY "${root}/bin")
message(STATUS "Installing: ${root}/bin/vandrel")
file(CREATE_LINK "../${VANDREL_INSTALL_DIR}/vandrel" "${root}/bin/vandrel" SYMBOLIC)
# What file(INSTALL) does not write is listed in install_manifest.txt by hand.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${root}/bin/vandrel")

# The Exec line names the program by its full path (~/.local/bin is not
# always on the PATH), quoted and escaped as desktop entries require.
set(exec "${CMAKE_INSTALL_PREFIX}/bin/vandrel")
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
foreach(c "\"" "`" "$")
  string(REPLACE "${c}" "\\\\${c}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")

set(entry "${root}/share/applications/vandrel.desktop")
message(STATUS "Installing: ${entry}")
file(WRITE "${entry}" "[Desktop Entry]
Type=Application
Name=Vandrel
GenericName=Poser material editor
Comment=Edit the materials of Poser library files and write material poses
Exec=\"${exec}\" %f
Icon=vandrel
Terminal=false
Categories=Graphics;3DGraphics;
")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
