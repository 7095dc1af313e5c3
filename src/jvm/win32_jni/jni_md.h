#pragma once
// Machine-dependent JNI types for 64-bit Windows. jint is 32 bits and jlong 64
// bits; the JDK's Linux header would make jlong `long`, which mingw makes 32 bits.

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef int jint;
typedef long long jlong;
typedef signed char jbyte;
