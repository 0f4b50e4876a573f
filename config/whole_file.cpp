#include "config/whole_file.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>

#include "irc/platform.h"
#else
#include <unistd.h>
#endif

#include "irc/client_state.h"
#include "irc/text.h"

namespace {

// Puts what was written on the disk before the file replaces the old one.
bool SyncFile(std::FILE* pFile)
{
#ifdef _WIN32
    return _commit(_fileno(pFile)) == 0;
#else
    return fsync(fileno(pFile)) == 0;
#endif
}

bool WritePieces(std::FILE* pFile, const char* const* pPieces, size_t nPieces)
{
    bool bWritten = true;
    for (size_t i = 0; i < nPieces; ++i) {
        size_t nLen = std::strlen(pPieces[i]);
        if (std::fwrite(pPieces[i], 1, nLen, pFile) != nLen) bWritten = false;
    }
    return std::fflush(pFile) == 0 && bWritten && SyncFile(pFile);
}

bool ReplaceFile(const char* szTemp, const char* szFile)
{
#ifdef _WIN32
    return MoveFileExA(szTemp, szFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(szTemp, szFile) == 0;
#endif
}

}  // namespace

bool WriteWholeFile(const char* szFile, const char* const* pPieces, size_t nPieces)
{
    TextField szTemp;
    TextBuilder(szTemp, sizeof szTemp).Add(szFile).Add(".tmp");
    std::FILE* pFile = std::fopen(szTemp, "wb");
    if (pFile == nullptr) return false;
    bool bWritten = WritePieces(pFile, pPieces, nPieces);
    bWritten = std::fclose(pFile) == 0 && bWritten;
    bool bDone = bWritten && ReplaceFile(szTemp, szFile);
    if (!bDone) std::remove(szTemp);
    return bDone;
}
