// Preloaded into the program by bench/first_frame.sh and bench/window_paths.sh:
// at the first window update (whole or in part) that shows a pixel other
// than black, writes to $FIRSTFRAME_OUT the milliseconds since $FIRSTFRAME_T0_NS (CLOCK_REALTIME,
// ns) and the processor time the process had used by then, in ms.
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
static int done;
static void note(SDL_Window* w) {
  SDL_Surface* s = done ? NULL : SDL_GetWindowSurface(w);
  if (s && s->format->BytesPerPixel == 4) {
    int shown = 0;
    for (int y = 0; y < s->h && !shown; y += 2)
      for (int x = 0; x < s->w && !shown; x += 2)
        shown = (((const Uint32*)((const Uint8*)s->pixels + (size_t)y * s->pitch))[x] & 0xFFFFFF) != 0;
    if (shown) {
      done = 1;
      struct timespec t;
      clock_gettime(CLOCK_REALTIME, &t);
      long long now = (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
      struct timespec cpu;
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
      FILE* f = fopen(getenv("FIRSTFRAME_OUT"), "w");
      if (f) {
        fprintf(f, "%.1f %.1f\n", (now - atoll(getenv("FIRSTFRAME_T0_NS"))) / 1e6, cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6);
        fclose(f);
      }
    }
  }
}
int SDL_UpdateWindowSurface(SDL_Window* w) {
  static int (*real)(SDL_Window*);
  if (!real) real = (int (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
  int result = real(w);
  note(w);
  return result;
}
int SDL_UpdateWindowSurfaceRects(SDL_Window* w, const SDL_Rect* rects, int count) {
  static int (*real)(SDL_Window*, const SDL_Rect*, int);
  if (!real) real = (int (*)(SDL_Window*, const SDL_Rect*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
  int result = real(w, rects, count);
  note(w);
  return result;
}
