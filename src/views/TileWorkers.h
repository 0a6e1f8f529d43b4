#pragma once

#include <cstddef>
#include <functional>

namespace plannery {

// Drawing that splits into independent pieces (the pictures of a page's day columns) shared
// between the calling thread and a few threads kept for the purpose. The threads live as long as
// the process: Qt keeps loaded fonts per thread, and a thread made for one frame would load them
// again, which costs more than the drawing it takes over.
namespace TileWorkers {

// Runs job(0) ... job(count - 1), each once, on the calling thread and the workers, and returns
// when all have finished. The jobs must not share anything they change.
//
// `done(n)`, when given, is called on the calling thread each time the first n jobs have all
// finished, n growing up to count, between the jobs it runs itself and while it waits for the
// workers': the caller can use what they made (copy the first columns' pictures to the screen)
// while the rest is still being drawn, and the workers take over more of the jobs meanwhile.
void forEach(std::size_t count, const std::function<void(std::size_t)>& job,
             const std::function<void(std::size_t)>& done = {});

} // namespace TileWorkers

} // namespace plannery
