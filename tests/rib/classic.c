/* The first program of every RenderMan user, as a C99 program: it writes a
   sphere scene to standard output through the plain functions alone. */
#include "rib/ri.h"

int main(void) {
    RtFloat fov = 45;
    RiBegin(RI_NULL);
    RiFormat(640, 480, 1);
    RiDisplay("sphere.tif", RI_FILE, RI_RGBA, RI_NULL);
    RiProjection(RI_PERSPECTIVE, RI_FOV, &fov, RI_NULL);
    RiWorldBegin();
    RiSurface(RI_PLASTIC, RI_NULL);
    RiSphere(1, -1, 1, 360, RI_NULL);
    RiWorldEnd();
    RiEnd();
    return 0;
}
