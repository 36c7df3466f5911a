#include "WidePath.h"

#include <cstring>

bool WidenMediaPath(const char* pszFile, WCHAR (&wszPath)[kPathChars])
{
    if (pszFile == NULL || strnlen(pszFile, kPathChars) >= kPathChars)
        return false;
    char szPath[kPathChars] = {0};
    lstrcatA(szPath, pszFile);
    return MultiByteToWideChar(CP_ACP, 0, szPath, -1, wszPath, kPathChars) != 0;
}
