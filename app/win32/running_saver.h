#pragma once

// The named mutex a full-screen saver holds for the whole life of its process, so that a second
// start sees it and leaves.
namespace RunningSaver {

// Takes the mutex for this process until it ends. False, taking nothing, when another saver
// holds it.
bool claim();

}  // namespace RunningSaver
