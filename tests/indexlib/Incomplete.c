/* An index library from which "_ReINDEX_LAGER" is missing: the start-up must
   find that out before it calls any entry point. */
void _ReINDEX_Init(void) {}
void _ReINDEX_NAMEN(void) {}
void _ReINDEX_CHEMIE(void) {}
void _ReINDEX_SIGEF(void) {}
void _ReINDEX_FORMEL(void) {}
void _ReINDEX_Close(void) {}
