/* The published effect plug-in interface: the record a plug-in hands its host and the calls
   between them. Plain C, shared by the host and every plug-in, so that plug-ins built by
   others against the same layout load as ours do. */
#ifndef EFFECT_PLUGIN_INTERFACE_H
#define EFFECT_PLUGIN_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct AEffect AEffect;

/* Host to plug-in requests, and plug-in to host requests through the host callback. */
typedef intptr_t (*AEffectDispatcherProc)(AEffect* effect, int32_t opcode, int32_t index,
                                          intptr_t value, void* ptr, float opt);
typedef AEffectDispatcherProc AEffectHostCallback;
/* inputs and outputs hold numInputs and numOutputs channel pointers of frames samples each. */
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                   int32_t frames);
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         int32_t frames);
typedef void (*AEffectSetParameterProc)(AEffect* effect, int32_t index, float value);
typedef float (*AEffectGetParameterProc)(AEffect* effect, int32_t index);

/* The names a plug-in library may export its entry under, in the order hosts look for them. */
typedef AEffect* (*AEffectEntryProc)(AEffectHostCallback host);
#define AEFFECT_ENTRY_NAME "main_plugin"
#define AEFFECT_ENTRY_NAME_ALT "VSTPluginMain"
#define AEFFECT_ENTRY_NAME_OLD "main"

#define AEFFECT_MAGIC 0x56737450 /* 'VstP' */
/* Parameter names are at most this many characters; hosts hand a larger buffer. */
#define AEFFECT_NAME_LENGTH 8

enum {
    /* Host to plug-in. */
    kEffectOpen = 0,
    kEffectClose = 1,
    kEffectGetParamName = 8,
    kEffectSetSampleRate = 10, /* opt */
    kEffectSetBlockSize = 11,  /* value: the most frames a process call gets */
    kEffectMainsChanged = 12,  /* value: 1 switched on, 0 switched off */
    kEffectEditGetRect = 13,   /* ptr: an ERect** whose target the plug-in sets to its own */
    kEffectEditOpen = 14,      /* ptr: the native parent window (an X11 Window id) */
    kEffectEditClose = 15,
    /* From the host's GUI thread, while the editor is open. */
    kEffectEditIdle = 19,

    /* Plug-in to host. */
    kHostVersion = 1,
    kHostGetTime = 7,
    kHostGetSampleRate = 16,
    kHostGetBlockSize = 17
};

/* AEffect.flags */
enum { kEffectFlagsHasEditor = 1 << 0 };

/* An editor's rectangle in pixels, as the plug-in answers kEffectEditGetRect. */
typedef struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} ERect;

struct AEffect {
    int32_t magic;
    AEffectDispatcherProc dispatcher;
    /* The older operation, meant to add to the outputs. Hosts that run a chain in place hand it
       the same buffers as input and output. */
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter; /* value 0.0 to 1.0 */
    AEffectGetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t reserved1;
    intptr_t reserved2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object; /* the plug-in's own */
    void* user;   /* the host's own */
    int32_t uniqueID;
    int32_t version;
    /* Writes the outputs; may be null in plug-ins that only offer process. */
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

#if defined(__x86_64__)
#ifdef __cplusplus
#define AEFFECT_ASSERT static_assert
#else
#define AEFFECT_ASSERT _Static_assert
#endif
AEFFECT_ASSERT(offsetof(AEffect, dispatcher) == 8, "dispatcher");
AEFFECT_ASSERT(offsetof(AEffect, process) == 16, "process");
AEFFECT_ASSERT(offsetof(AEffect, setParameter) == 24, "setParameter");
AEFFECT_ASSERT(offsetof(AEffect, getParameter) == 32, "getParameter");
AEFFECT_ASSERT(offsetof(AEffect, numPrograms) == 40, "numPrograms");
AEFFECT_ASSERT(offsetof(AEffect, numParams) == 44, "numParams");
AEFFECT_ASSERT(offsetof(AEffect, numInputs) == 48, "numInputs");
AEFFECT_ASSERT(offsetof(AEffect, numOutputs) == 52, "numOutputs");
AEFFECT_ASSERT(offsetof(AEffect, flags) == 56, "flags");
AEFFECT_ASSERT(offsetof(AEffect, reserved1) == 64, "reserved1");
AEFFECT_ASSERT(offsetof(AEffect, reserved2) == 72, "reserved2");
AEFFECT_ASSERT(offsetof(AEffect, initialDelay) == 80, "initialDelay");
AEFFECT_ASSERT(offsetof(AEffect, ioRatio) == 92, "ioRatio");
AEFFECT_ASSERT(offsetof(AEffect, object) == 96, "object");
AEFFECT_ASSERT(offsetof(AEffect, user) == 104, "user");
AEFFECT_ASSERT(offsetof(AEffect, uniqueID) == 112, "uniqueID");
AEFFECT_ASSERT(offsetof(AEffect, version) == 116, "version");
AEFFECT_ASSERT(offsetof(AEffect, processReplacing) == 120, "processReplacing");
AEFFECT_ASSERT(offsetof(AEffect, processDoubleReplacing) == 128, "processDoubleReplacing");
AEFFECT_ASSERT(offsetof(AEffect, future) == 136, "future");
AEFFECT_ASSERT(sizeof(AEffect) == 192, "size");
AEFFECT_ASSERT(offsetof(ERect, left) == 2, "ERect.left");
AEFFECT_ASSERT(offsetof(ERect, bottom) == 4, "ERect.bottom");
AEFFECT_ASSERT(offsetof(ERect, right) == 6, "ERect.right");
AEFFECT_ASSERT(sizeof(ERect) == 8, "ERect size");
#undef AEFFECT_ASSERT
#endif

#ifdef __cplusplus
}
#endif

#endif
