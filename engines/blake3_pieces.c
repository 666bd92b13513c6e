// Built in place of the library's blake3.c, which it includes for the two
// steps its update takes for a whole subtree: computing the subtree's pair
// of chaining values, which any thread may do, and pushing them onto the
// hasher's stack, in order. The tree, its chaining values and their merging
// stay the library's own; only the order of work changes. Declared in
// engines/library_hashers.cpp, the one caller.
#include "blake3.c"

static int is_piece_length(size_t length) {
  return length >= 2 * BLAKE3_CHUNK_LEN && (length & (length - 1)) == 0;
}

void zelk_blake3_piece_cvs(const blake3_hasher* hasher, const uint8_t* piece, size_t length, uint64_t index,
                           uint8_t cvs[2 * BLAKE3_OUT_LEN]) {
  compress_subtree_to_parent_node(piece, length, hasher->key, index * (length / BLAKE3_CHUNK_LEN),
                                  hasher->chunk.flags, cvs);
}

int zelk_blake3_add_piece(blake3_hasher* hasher, const uint8_t cvs[2 * BLAKE3_OUT_LEN], size_t length) {
  const uint64_t chunks = length / BLAKE3_CHUNK_LEN;
  if (!is_piece_length(length) || chunk_state_len(&hasher->chunk) != 0 || hasher->chunk.chunk_counter % chunks != 0) {
    return 0;
  }
  uint8_t left[BLAKE3_OUT_LEN];
  uint8_t right[BLAKE3_OUT_LEN];
  memcpy(left, cvs, BLAKE3_OUT_LEN);
  memcpy(right, cvs + BLAKE3_OUT_LEN, BLAKE3_OUT_LEN);
  hasher_push_cv(hasher, left, hasher->chunk.chunk_counter);
  hasher_push_cv(hasher, right, hasher->chunk.chunk_counter + chunks / 2);
  hasher->chunk.chunk_counter += chunks;
  return 1;
}
