// Denormal floats made zero by the processor while one of these lives on the thread, so that a
// sound dying away never slows the step.
#pragma once

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

class FlushDenormals {
  public:
#if defined(__SSE__)
    // Flush-to-zero and denormals-are-zero.
    FlushDenormals() : fSaved(_mm_getcsr()) {
        _mm_setcsr(fSaved | 0x8040);
    }
    ~FlushDenormals() {
        _mm_setcsr(fSaved);
    }
#else
    FlushDenormals() = default;
#endif
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

  private:
#if defined(__SSE__)
    unsigned fSaved;
#endif
};
