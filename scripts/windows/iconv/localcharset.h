/* Declared for libfreexl's Windows branch; it does not call it. */
#ifndef QUARVEL_WIN32_LOCALCHARSET_H
#define QUARVEL_WIN32_LOCALCHARSET_H
const char* locale_charset(void);
#endif
