# The Windows package, built with the rest of the Windows build: the files a user gets are laid
# out in package/QXTools (the programs stripped of their debugging information), then made into
# an installer with NSIS (QXTools-setup.exe) and into a zip of the same folder (QXTools.zip).
find_program(QXT_MAKENSIS makensis)
find_program(QXT_MINGW_STRIP NAMES ${QXT_MINGW_PREFIX}-strip x86_64-w64-mingw32-strip)
if(NOT QXT_MAKENSIS OR NOT QXT_MINGW_STRIP)
  message(STATUS "makensis or the cross strip is missing (./do setup installs them): no installer")
else()

set(QXT_STAGE ${CMAKE_BINARY_DIR}/package/QXTools)
set(QXT_INSTALLER ${CMAKE_BINARY_DIR}/QXTools-setup.exe)
set(QXT_ZIP ${CMAKE_BINARY_DIR}/QXTools.zip)
file(GLOB QXT_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.session)
set(QXT_PACKAGED $<TARGET_FILE:tracelon> $<TARGET_FILE:qxt> $<TARGET_FILE:host>
                 $<TARGET_FILE:platform>)
set(QXT_NSI ${CMAKE_CURRENT_SOURCE_DIR}/installer/QXTools.nsi)

add_custom_command(
  OUTPUT ${QXT_INSTALLER} ${QXT_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QXT_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QXT_STAGE}/bin ${QXT_STAGE}/share
          ${QXT_STAGE}/examples
  COMMAND ${CMAKE_COMMAND} -E copy ${QXT_PACKAGED} ${QXT_STAGE}/bin
  COMMAND ${QXT_MINGW_STRIP} --strip-debug ${QXT_STAGE}/bin/$<TARGET_FILE_NAME:tracelon>
          ${QXT_STAGE}/bin/$<TARGET_FILE_NAME:qxt> ${QXT_STAGE}/bin/$<TARGET_FILE_NAME:host>
          ${QXT_STAGE}/bin/$<TARGET_FILE_NAME:platform>
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_BINARY_DIR}/share/root ${QXT_STAGE}/share/root
  COMMAND ${CMAKE_COMMAND} -E copy ${QXT_EXAMPLES} ${QXT_STAGE}/examples
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/installer/README.txt ${QXT_STAGE}
  COMMAND ${QXT_MAKENSIS} -V2 -DSTAGE=${QXT_STAGE} -DOUTFILE=${QXT_INSTALLER} ${QXT_NSI}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QXT_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
          ${CMAKE_COMMAND} -E tar cf ${QXT_ZIP} --format=zip QXTools
  DEPENDS tracelon qxt host platform sample_machine ${QXT_PACKAGED}
          ${CMAKE_BINARY_DIR}/share/root.stamp ${QXT_EXAMPLES} ${QXT_NSI}
          ${CMAKE_CURRENT_SOURCE_DIR}/installer/README.txt
  COMMENT "Packaging QX Tools: QXTools-setup.exe and QXTools.zip"
  VERBATIM)
add_custom_target(windows_package ALL DEPENDS ${QXT_INSTALLER} ${QXT_ZIP})
endif()
