# Firebird benchmark: the dataset's fetch against the client library's own loop.
lm_add_bench(db_bench SOURCES db_bench.cpp LIBS lmcore_db fbclient)
