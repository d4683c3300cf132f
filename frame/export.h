// The one symbol the host looks up: plain C, undecorated.
//
// Every other convention at the boundary (member calls, aggregate results,
// by-value holders, errors) is the compiler's own: the Windows builds use a
// compiler for the platform's C++ ABI, so no declaration spells one by hand.
#pragma once

#if defined(_WIN32)
#define KV_EXPORT extern "C" __declspec(dllexport)
#else
#define KV_EXPORT extern "C" __attribute__((visibility("default")))
#endif
