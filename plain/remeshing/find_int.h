#pragma once

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Position of the first `value` among the n ints at p, -1 if none; four at a
// time, for the long lists of a busy vertex.
inline int find_int(const int* p, int n, int value)
{
    int k = 0;
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi32(value);
    for (; k + 8 <= n; k += 8) {
        const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k)), wanted);
        const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 4)), wanted);
        const int hits = _mm_movemask_ps(_mm_castsi128_ps(a)) | (_mm_movemask_ps(_mm_castsi128_ps(b)) << 4);
        if (hits != 0) return k + __builtin_ctz(unsigned(hits));
    }
#endif
    for (; k < n; ++k)
        if (p[k] == value) return k;
    return -1;
}

// How many ints from the start of a and b agree, of at most n; four at a
// time.
inline int same_prefix(const int* a, const int* b, int n)
{
    int k = 0;
#ifdef __SSE2__
    for (; k + 4 <= n; k += 4) {
        const __m128i equal = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k)));
        const int hits = _mm_movemask_ps(_mm_castsi128_ps(equal));
        if (hits != 0xf) return k + __builtin_ctz(unsigned(~hits));
    }
#endif
    while (k < n && a[k] == b[k]) ++k;
    return k;
}
