// A libspng context that frees itself, for the readers and the writer of PNG files.
#pragma once

#include <spng.h>

#include <memory>

namespace tessly {

struct SpngContextFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using SpngContext = std::unique_ptr<spng_ctx, SpngContextFree>;

}  // namespace tessly
