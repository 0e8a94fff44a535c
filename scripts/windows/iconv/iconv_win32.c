/* iconv to UTF-8 through MultiByteToWideChar and WideCharToMultiByte. Each call converts the
   whole input or nothing (libfreexl hands over complete strings). */
#include "iconv.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef struct {
    UINT fromCodePage; /* 1200: UTF-16LE */
} Converter;

static int codePageOf(const char* name, UINT* cp) {
    if (_stricmp(name, "UTF-16LE") == 0) *cp = 1200;
    else if (_stricmp(name, "ASCII") == 0) *cp = 20127;
    else if (_stricmp(name, "MacRoman") == 0) *cp = 10000;
    else if (_stricmp(name, "UTF-8") == 0) *cp = CP_UTF8;
    else if (_strnicmp(name, "CP", 2) == 0 && name[2] != '\0') *cp = (UINT)strtoul(name + 2, NULL, 10);
    else return 0;
    return *cp == 1200 || IsValidCodePage(*cp);
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    UINT cp;
    if (_stricmp(tocode, "UTF-8") != 0 || !codePageOf(fromcode, &cp)) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    Converter* c = (Converter*)malloc(sizeof(Converter));
    if (!c) return (iconv_t)-1;
    c->fromCodePage = cp;
    return c;
}

int iconv_close(iconv_t cd) {
    free(cd);
    return 0;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    const Converter* c = (const Converter*)cd;
    if (!inbuf || !*inbuf || *inbytesleft == 0) return 0;
    if (*inbytesleft > 0x3fffffff) {
        errno = EINVAL;
        return (size_t)-1;
    }
    WCHAR* wide;
    int wideLen;
    if (c->fromCodePage == 1200) {
        if (*inbytesleft % 2 != 0) {
            errno = EINVAL;
            return (size_t)-1;
        }
        wideLen = (int)(*inbytesleft / 2);
        wide = (WCHAR*)malloc(sizeof(WCHAR) * (size_t)wideLen);
        if (!wide) return (size_t)-1;
        memcpy(wide, *inbuf, *inbytesleft);
    } else {
        wideLen = MultiByteToWideChar(c->fromCodePage, MB_ERR_INVALID_CHARS, *inbuf,
                                      (int)*inbytesleft, NULL, 0);
        if (wideLen <= 0) {
            errno = EILSEQ;
            return (size_t)-1;
        }
        wide = (WCHAR*)malloc(sizeof(WCHAR) * (size_t)wideLen);
        if (!wide) return (size_t)-1;
        MultiByteToWideChar(c->fromCodePage, 0, *inbuf, (int)*inbytesleft, wide, wideLen);
    }
    int need = WideCharToMultiByte(CP_UTF8, 0, wide, wideLen, NULL, 0, NULL, NULL);
    if (need <= 0) {
        free(wide);
        errno = EILSEQ;
        return (size_t)-1;
    }
    if ((size_t)need > *outbytesleft) {
        free(wide);
        errno = E2BIG;
        return (size_t)-1;
    }
    WideCharToMultiByte(CP_UTF8, 0, wide, wideLen, *outbuf, need, NULL, NULL);
    free(wide);
    *inbuf += *inbytesleft;
    *inbytesleft = 0;
    *outbuf += need;
    *outbytesleft -= (size_t)need;
    return 0;
}

const char* locale_charset(void) { return "UTF-8"; }
