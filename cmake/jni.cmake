# jni.h comes from a Debian JDK; the Windows builds pair it with our own jni_md.h.
file(GLOB LAUNCHER_JDK_INCLUDE_CANDIDATES LIST_DIRECTORIES true /usr/lib/jvm/*/include)
find_path(JNI_HEADER_DIR jni.h
  HINTS ${JAVA_HOME}/include ${LAUNCHER_JDK_INCLUDE_CANDIDATES}
  NO_CMAKE_FIND_ROOT_PATH)
if(NOT JNI_HEADER_DIR)
  message(FATAL_ERROR "jni.h not found: install openjdk-17-jdk-headless")
endif()
if(WIN32)
  set(JNI_INCLUDE_DIRS ${CMAKE_SOURCE_DIR}/src/platform/win32/jni ${JNI_HEADER_DIR})
else()
  set(JNI_INCLUDE_DIRS ${JNI_HEADER_DIR} ${JNI_HEADER_DIR}/linux)
endif()
