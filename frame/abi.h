// Calling-convention markers for every operation the host calls by slot.
//
// The host is built with the platform's own compiler. On 32-bit Windows its
// member operations are __thiscall (this in ECX, callee pops the arguments);
// the marker makes that explicit instead of trusting the compiler's default.
// Everywhere else member operations already follow the platform convention.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#define KV_THISCALL __attribute__((thiscall))
#else
#define KV_THISCALL
#endif

#if defined(_WIN32)
#define KV_EXPORT extern "C" __declspec(dllexport)
#else
#define KV_EXPORT extern "C" __attribute__((visibility("default")))
#endif
