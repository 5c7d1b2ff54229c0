#pragma once

#include <vector>

#include "rib/ri.h"
#include "sim/surface.h"
#include "sim/world.h"
#include "render/framepattern.h"

struct FrameOptions {
    int width = 300, height = 300;  // the window's size
    FramePattern image{"wobble.%04d.tif"};
    bool motionBlur = false;
};

// Writes frames of a world as RIB through the plain Ri functions, to whatever
// writer is current. Each frame carries its own options, camera and world,
// so it renders alone, whether it is one of many in a stream or the only one
// in its file.
class FrameWriter {
  public:
    FrameWriter(const World& world, const FrameOptions& options);

    // Call before every step: a motion-blurred frame opens with the positions
    // its last step started from.
    void beforeStep();
    // FrameBegin `frame` ... FrameEnd for the world as it is now.
    void write(long frame) const;

  private:
    using Snapshot = std::vector<std::vector<Vector3>>;  // positions of each body shown
    Snapshot snapshot() const;
    void writeCamera(long frame) const;
    void writeLights(const Snapshot& positions) const;
    void writeBodies(const Snapshot& positions) const;

    const World& world;
    FrameOptions options;
    std::vector<SurfaceQuad> quads;  // of the box, in lattice indices
    std::vector<int> surfaceNodes;   // lattice indices on the box's skin, ascending
    std::vector<RtInt> vertices;     // the quads in indices into surfaceNodes
    Snapshot stepStart;
};
