#pragma once

namespace corvelix {

// Keeps memory the program frees for its next use instead of handing it back to the system
// at once. Reading a declaration list or a large declaration fills tens of megabytes of rows
// that are freed when the next read replaces them, and a file's text is built in one large
// buffer; given back each time, every page of the next one must be mapped afresh, which cost
// more than the read itself. The heap's first 128 MB are asked for in large pages, so that
// the first reads of a process fault far fewer pages in. Call once, first thing in main.
void keepFreedHeap();

} // namespace corvelix
