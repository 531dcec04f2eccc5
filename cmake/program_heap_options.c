/* jemalloc reads this string as its options when the program starts. thp:always asks the kernel
   for transparent huge pages for all of its memory (the machine's setting is usually "madvise"),
   metadata_thp:auto for its own bookkeeping once that grows. */
const char* malloc_conf = "thp:always,metadata_thp:auto";
