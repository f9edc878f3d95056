# The Windows Installer package of this Windows build, made by wixl (Debian
# package wixl, part of msitools) from installer/vistrel.wxs:
# build/win64/vistrel-<version>-x64.msi, build/win32/vistrel-<version>-x86.msi.
find_program(WIXL wixl)
if(NOT WIXL)
  message(FATAL_ERROR "wixl is missing: scripts/install-deps.sh installs it (or configure with -DVISTREL_MSI=OFF)")
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VISTREL_MSI_ARCH x64)
else()
  set(VISTREL_MSI_ARCH x86)
endif()
set(VISTREL_MSI_FILE vistrel-${PROJECT_VERSION}-${VISTREL_MSI_ARCH}.msi)
# wixl finds the files a package holds only by paths relative to where it runs.
file(RELATIVE_PATH VISTREL_MSI_ICON ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/src/resources/vistrel.ico)

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${VISTREL_MSI_FILE}
  COMMAND ${WIXL} --arch ${VISTREL_MSI_ARCH}
          -D Arch=${VISTREL_MSI_ARCH} -D Version=${PROJECT_VERSION}
          -D SaverFile=$<TARGET_FILE_NAME:vistrel> -D IconFile=${VISTREL_MSI_ICON}
          -D Publisher=${VISTREL_PUBLISHER} -D HelpLink=${VISTREL_HELP_URL} -D AboutLink=${VISTREL_ABOUT_URL}
          -o ${VISTREL_MSI_FILE} ${CMAKE_SOURCE_DIR}/installer/vistrel.wxs
  DEPENDS vistrel ${CMAKE_SOURCE_DIR}/installer/vistrel.wxs ${CMAKE_SOURCE_DIR}/src/resources/vistrel.ico
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packaging ${VISTREL_MSI_FILE}"
  VERBATIM)
add_custom_target(vistrel_msi ALL DEPENDS ${CMAKE_BINARY_DIR}/${VISTREL_MSI_FILE})
