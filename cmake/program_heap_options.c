/* jemalloc reads this string as its options when the program starts. thp:always asks the kernel
   for transparent huge pages for all of its memory (the machine's setting is usually "madvise"),
   metadata_thp:auto for its own bookkeeping once that grows. narenas:1 keeps one arena for all
   threads: with an arena per thread, what a helper thread allocates cannot reuse what the main
   thread has freed, and the peak grows by the helper's share. */
const char* malloc_conf = "thp:always,metadata_thp:auto,narenas:1";
