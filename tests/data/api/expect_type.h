/* EXPECT_TYPE(fn, ret, (params)) stops the compilation unless fn has the type ret(params). */
#ifndef PSW_TEST_EXPECT_TYPE_H
#define PSW_TEST_EXPECT_TYPE_H

#if !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define EXPECT_TYPE(fn, ret, params) \
    _Static_assert(_Generic(&(fn), ret(*) params: 1, default: 0), #fn " has another type")
#else
/* C99 and C++: initialising a function pointer from a function of another type is an error
 * (with -pedantic-errors in C). */
#define EXPECT_TYPE(fn, ret, params) \
    extern ret(*const check_##fn) params; \
    ret(*const check_##fn) params = &(fn)
#endif

#endif
