/* The first program of every RenderMan user: one sphere, written as RIB on
   standard output. */
#include <ri.h>

int main(void) {
    RtFloat fov = 45;
    RiBegin(RI_NULL);
    RiFormat(640, 480, 1);
    RiDisplay("sphere.tif", "file", "rgb", RI_NULL);
    RiProjection("perspective", "fov", &fov, RI_NULL);
    RiWorldBegin();
    RiSurface("plastic", RI_NULL);
    RiTranslate(0, 0, 5);
    RiSphere(1, -1, 1, 360, RI_NULL);
    RiWorldEnd();
    RiEnd();
    return 0;
}
