#pragma once

class QThreadPool;

namespace plannery {

// The threads for the app's own work in the background: reading months, scanning for mirrors,
// reading changed folders, recognising text, asking the local model, looking for scanners.
//
// Qt's raster engine splits a large fill (a tall line, a gradient, a long span of text) over
// `QThreadPool::globalInstance()` and waits for the pieces before the paint goes on. Work of ours
// queued on that pool would hold a paint until it is done, so none of it goes there: it runs here.
// Lives with the application object (waited for as it goes), or for the process without one.
// Asked for on the main thread.
QThreadPool& backgroundPool();

} // namespace plannery
