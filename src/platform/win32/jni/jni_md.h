#pragma once
// The machine-dependent part of jni.h for Windows, as every Windows JDK
// defines it: the JNI entry points use the stdcall convention on x86.
#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;
