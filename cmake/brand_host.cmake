# The branding tool built for the build machine, for a cross build that
# needs to run it: the Windows builds make the console launcher with it.
# Built with the host's compiler (the toolchain file is not handed on) into
# BRAND_HOST_EXECUTABLE.
include(ExternalProject)
set(BRAND_HOST_DIR ${CMAKE_BINARY_DIR}/brand-host)
set(BRAND_HOST_EXECUTABLE ${BRAND_HOST_DIR}/brand)
ExternalProject_Add(brand_host
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/brand
  BINARY_DIR ${BRAND_HOST_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${BRAND_HOST_EXECUTABLE})
