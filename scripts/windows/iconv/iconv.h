/* The part of iconv that libfreexl uses, over the Windows code page functions (MinGW-w64 has no
   iconv). Converts from a code page, UTF-16LE, ASCII or MacRoman to UTF-8 only. */
#ifndef QUARVEL_WIN32_ICONV_H
#define QUARVEL_WIN32_ICONV_H
#include <stddef.h>
#ifdef __cplusplus
extern "C" {
#endif
typedef void* iconv_t;
iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);
#ifdef __cplusplus
}
#endif
#endif
