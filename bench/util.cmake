# Benchmarks of the utilities against standard-library anchors.
lm_add_bench(rbtree_bench SOURCES rbtree_bench.cpp LIBS lmcore_util)
lm_add_bench(fastlist_bench SOURCES fastlist_bench.cpp LIBS lmcore_util)
