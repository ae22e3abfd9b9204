/* A stand-in for the index library that writes each call into "reindex.log"
   in the current directory, and a line when it is loaded at all. Built a
   second time without "_ReINDEX_LAGER", as a library of another version
   would be. */
#include <stdio.h>

static void schreiben(const char* zeile)
{
    FILE* datei = fopen("reindex.log", "a");
    if (datei) {
        fputs(zeile, datei);
        fputc('\n', datei);
        fclose(datei);
    }
}

__attribute__((constructor)) static void geladen(void) { schreiben("geladen"); }

void _ReINDEX_Init(void) { schreiben("Init"); }
void _ReINDEX_NAMEN(void) { schreiben("NAMEN"); }
void _ReINDEX_CHEMIE(void) { schreiben("CHEMIE"); }
void _ReINDEX_SIGEF(void) { schreiben("SIGEF"); }
void _ReINDEX_FORMEL(void) { schreiben("FORMEL"); }
#ifndef OHNE_LAGER
void _ReINDEX_LAGER(void) { schreiben("LAGER"); }
#endif
void _ReINDEX_Close(void) { schreiben("Close"); }
