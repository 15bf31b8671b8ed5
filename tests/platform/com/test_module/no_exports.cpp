// A loadable library that is not an in-process server: it exports none of the entry points.
int KvTestLibraryWithoutExports() { return 1; }
