/* A resource carrier for the file information tests; the code is never called. */
__declspec(dllexport) int VersionSampleMarker(void) { return 1; }
