// Velmora: a small real-time 3D graphics library in the immediate-mode OpenGL
// style. One window with an OpenGL context, input polled from global tables, a
// mouse-orbit camera, render states and lights, BMP textures, primitives,
// extruded outline-font text, vertex capture, a rippling water surface, stencil
// masking and bitmap-shaped image buttons.
//
// This chief header brings everything a program's frame code uses: OpenGL and
// GLU, the Win32-shaped types and constants of the platform layer, and every
// routine, global, constant and type of the library (namespace Velmora).
#pragma once

#include "checked.h"
#include "vlmr_platform.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Velmora {

using vlmr::Array;
using vlmr::Array2;

// ------------------------------------------------------------ shared types
struct TGLVECTOR {
  float X;
  float Y;
  float Z;
};
using TGLVERTEX = TGLVECTOR;

// 4 by 4 singles, [row][column], rows stored one after another.
using TGLBASEMATRIX = Array2<float, 0, 3, 0, 3>;

using TPROCEDURE = void (*)();

// ------------------------------------------------- constants of the shell
constexpr int32_t ARROW = 1;
constexpr int32_t IBEAM = 2;
constexpr int32_t WAIT = 3;
constexpr int32_t CROSS = 4;
constexpr int32_t UPARROW = 5;
constexpr int32_t SIZE = 6;
constexpr int32_t FILECURSOR = 7;
constexpr int32_t SIZENWSE = 8;
constexpr int32_t SIZENESW = 9;
constexpr int32_t SIZEWE = 10;
constexpr int32_t SIZENS = 11;
constexpr int32_t SIZEALL = 12;
constexpr int32_t NOCURSOR = 13;
constexpr int32_t HAND = 14;
constexpr int32_t APPSTARTING = 15;
constexpr int32_t HELP = 16;
constexpr int32_t GENERIC = 1;
constexpr int32_t FILEICON = 2;
constexpr int32_t FPS_TIMER = 1;
constexpr int32_t FPS_INTERVAL = 5000;
constexpr int32_t FPS_ONE_SECOND = 1000;
constexpr int32_t WS_TOOLS = 1389303808;
constexpr int32_t VLMR_ACCELERATION = 8231;

// Modes of SETGLMOUSEMOVE (mode 0 has no name).
constexpr int32_t GL_MX = 1;
constexpr int32_t GL_MY = 2;
constexpr int32_t GL_MZ = 3;

// Math helpers: pi/180, and the indexes of FNORMAL.
constexpr double PIDIV180 = 1.7453292519943296E-2;
constexpr int32_t X = 1;
constexpr int32_t Y = 2;
constexpr int32_t Z = 3;

// --------------------------------------- window, context, creation settings
extern HWND HWINDOW;
extern HDC DCWINDOW;
extern HGLRC RCWINDOW;
extern MSG MSG_;
extern const char* SETTITLENAME;
extern int32_t WIDTH;
extern int32_t HEIGHT;
extern int32_t BITS;
extern bool FULLSCREEN;
extern bool ACTIVE;
extern int32_t PIXEL_FORMAT_FLAGS;
extern int32_t CREATE_WINDOW_FLAGS;
extern int32_t SETTYPECURSOR;
extern const char* CURSORFILE;
extern int32_t SETTYPEICON;
extern const char* ICONFILE;
extern WNDCLASSEXA WINDOWCLASSEX;

// ------------------------------------------------- menu and status-bar hooks
extern bool SHOWMENUBAR;
extern TPROCEDURE CREATEMENUBAR;
extern TPROCEDURE CREATEMOUSEMENU;
extern WNDPROC GETINPUTCOMMAND;
extern bool SHOWSTATUSBAR;
extern HWND HSTATUS;
extern HWND AWND;
extern Array<char, 0, 260> FILENAME;
extern Array<int32_t, 1, 20> STATUSITEM;
extern Array<int32_t, 1, 20> EDGES;
extern int32_t MAXSTATUSITEM;

// ------------------------------------------------------ frame-rate counter
extern int32_t FPSCOUNT;
extern std::string FPSCOUNTSTR;
extern int32_t FORCEFPS;
extern int32_t ADDFORCEFPS;
extern int32_t ADDINTERVALFPS;
extern bool VIEWFPS;
extern uint32_t START;

// ------------------------------------------------- input and camera state
extern Array<int32_t, 0, 500> SETKEY;
extern bool LEFTMOUSEDOWN;
extern bool LEFTMOUSEDOWN2;
extern bool RIGHTMOUSEDOWN;
extern bool RIGHTMOUSEDOWN2;
extern int32_t SETMX;
extern int32_t SETMY;
extern int32_t SETOMX;
extern int32_t SETOMY;
extern int32_t XCOORD;
extern int32_t YCOORD;
extern int32_t ZCOORD;
extern float XROT;
extern float YROT;
extern float XROT2;
extern float YROT2;
extern float DEPTH;
extern float DEPTH2;
extern bool MOUSEFREE;
extern POINT MPOS;
extern int32_t MSPEED;
extern float OFFX;
extern float OFFY;
extern TGLVERTEX MY;

// ---------------------------------------------------- library-wide values
extern std::string VLMRVERSION;
extern Array<float, 0, 3> AMBIENTLIGHT;
extern Array<float, 0, 3> DIFFUSELIGHT;
extern Array<float, 0, 3> SPECULARLIGHT;
extern Array<float, 0, 3> LIGHTPOSITION;
extern int32_t GL_MIN_FILTER;
extern int32_t GL_MAG_FILTER;
extern bool FOGONOFF;
extern GLuint OBJNULL;

// ---------------------------------------------------- settings and errors
void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON,
                      const char* ICOFILE);
[[noreturn]] void THROWERROR(const char* PCERRORMESSAGE);

// ------------------------------ window, rendering context, pump, projection
bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT,
                     int32_t APPBITS, bool APPFULLSCREEN);
bool WINDOWREGISTER();
HWND WINDOWCREATE(const char* PCAPPLICATIONNAME);
bool WINDOWINIT(HWND HPARENT);
HWND CREATESTATUSBAR(HWND PARENT);
void DELETEOGLWINDOW();
void GLRESIZEWINDOW(int32_t W, int32_t H);
void OPENGL_INIT(double DEPTH, double A, double R, double G, double B);
void OPENGL_I2D(double A, double R, double G, double B);
void SETGLMSG();

// ---------------------------------------------- window procedure and input
LRESULT GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_);
bool SETGLKEY(char KEY);

// ------------------------------------------------------- mouse-orbit view
void SETGLMOUSEMOVE(int32_t XYZ, int32_t SPEED);

// ------------------------------------------------ vector and matrix helpers
extern Array<double, 1, 3> FNORMAL;
TGLVECTOR GLVECTOR(double X, double Y, double Z);
float DEGTORAD(float DEGREE);
TGLBASEMATRIX MATRIXEULERDEG(const TGLVECTOR& ANG);
TGLBASEMATRIX MATRIXEULERRAD(const TGLVECTOR& ANG);
TGLVECTOR MATRIXVECROT(const TGLVECTOR& VEC, const TGLBASEMATRIX& ANG);
void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z,
                double V3X, double V3Y, double V3Z);

// ------------------------------------------------- render state and lights
void SETGLREFRACTIVE();
void SETGLSPRITE(bool LIGHT);
void SETGLSPRITEOFF();
void SETGLSMOOTH();
void SETGLHISMOOTH();
void TEXTUREON();
void TEXTUREOFF();
void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3);
void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL);

// --------------------------------------------------- bitmap file textures
extern GLuint TEXTUREID;
extern Array<GLuint, 0, 500> TEXTURE_WATER;
extern GLuint TEXTURE_SKY3;
void SWAPRGB(uint8_t* DATA, int32_t SIZE);
int32_t GETBMPDEPTH(const char* BMPFILE);
void TEXTURELOAD(const char* BMPFILE);
void TEXTUREWATER(const char* BMPFILE, int32_t NUM);

// ----------------------------------------------------- geometry primitives
void LINE(float X1, float Y1, float Z1, float X2, float Y2, float Z2);
void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1,
              float X2, float Y2, float Z2, bool TEXTURE);
void CUBO(float X, float Y, float Z, float SX, float SY, float SZ);
void DISCO(float X, float Y, float Z, int32_t NUMPOINTS, float R);
void SUPPORTOASSE(float X, float Y, float Z, int32_t NUMPOINTS, float RIN, float ROUT, float H);
void DRAWGLVOLUMEOBJ(float SIZELINE, float X1, float Y1, float Z1, float X2, float Y2,
                     float Z2);

// ------------------------------------------------------- outline-font text
extern GLuint BASE;
extern Array<GLYPHMETRICSFLOAT, 0, 255> GMF;
void INITTEXT(float DEPTH, int32_t ANG, int32_t ITAL, int32_t GRAS);
void PUTGLTEXT(float X, float Y, float SIZE, const char* TEXT);
void DELETEGLTEXT();

// ----------------------------------------------------------- water surface
constexpr int32_t MAXGRIDSIZEW = 300;
struct TGLWATER {
  float VISCOSITYW;
  Array2<float, 0, MAXGRIDSIZEW, 0, MAXGRIDSIZEW> POSW;
  Array2<float, 0, MAXGRIDSIZEW, 0, MAXGRIDSIZEW> VELW;
  Array2<TGLVECTOR, 0, MAXGRIDSIZEW, 0, MAXGRIDSIZEW> VERTW;
  Array2<TGLVECTOR, 0, MAXGRIDSIZEW, 0, MAXGRIDSIZEW> NORMW;
  float PX;
  float PY;
  float PZ;
  int32_t GRIDSIZE;
};
// The table of water surfaces, slots 0..100. A slot's storage is reserved the
// first time the slot is used and reads as all zero until its first step.
class TGLWATERTABLE {
 public:
  static constexpr long low = 0;
  static constexpr long high = 100;
  TGLWATER& operator[](long NUM);
  bool reserved(long NUM) const;  // whether slot NUM has storage yet

 private:
  std::unique_ptr<TGLWATER> slots_[high - low + 1];
};
extern TGLWATERTABLE WATER00;
void CREATEWATER(int32_t GRIDSIZE, float PX, float PY, float PZ, int32_t WXZ, int32_t WH,
                 int32_t WRND, float VISCOSITY, bool ALPHA, bool SKYREFLECT, int32_t NUM);
void PUTMATRIX(int32_t GRIDSIZE, float X, float Y, float Z, int32_t NUM);
void LINEV(float TX1, float TY1, float TX2, float TY2, int32_t A1, int32_t B1, int32_t A2,
           int32_t B2, int32_t NUM);
void EFFECTREALWATER();
void EFFECTREALWATEROFF();

// -------------------------------------------------------- stencil masking
extern Array<GLuint, 0, 600> OBJNAMESTENCIL;
void FX_STENCILBEGIN(float X, float Y, float Z, GLuint STENCIL, int32_t NUM);
void FX_STENCILEND();

// ---------------------------------------------------------- vertex capture
struct TGLVERTEX3F {
  Array<TGLVECTOR, 1, 10000> GLVERT3F;
  Array<TGLVECTOR, 1, 10000> GLVERT3FTMP;
  Array<TGLVECTOR, 1, 10000> GLVERT3FTMPROTATE;
  Array<TGLVECTOR, 1, 10000> GLVERT3FTMPPOSROT;
  Array<TGLVECTOR, 1, 10000> GLVERT3FTMPSCALE;
  Array<TGLVECTOR, 1, 10000> GLVERT3FOFFSET;
  int32_t GLVERT3FCOUNT;
  int32_t GLVERT3FMAX;
  int32_t GLVERT3FSETNUM;
};
extern TGLVERTEX3F GLBASEVERTEX3F;
extern bool GLVERT3FENABLEEDIT;
extern bool GLVERT3FREMOVE;
void GLBEGIN(GLenum MODE);
void GLVERTEX3F(float X, float Y, float Z);
void GLEND();

// ------------------------------------------- bitmap loading, window regions
constexpr int32_t ALLOC_UNIT = 100;
HBITMAP LOADBMPFROMFILE(const char* FILENAME, HPALETTE& PAL);
HRGN BITMAPTOREGION(const char* BMPNAME, COLORREF TRANSCOLOR, uint8_t TOLERANCE);

// ----------------------------------------------------- image button control
constexpr const char* SZHOVERCLASS = "IMAGEBUTTON";
constexpr const char* NORMALBMP = "NORMALBITMAP";
constexpr const char* HOVERBMP = "HOVERBITMAP";
constexpr const char* PRESSBMP = "PRESSBITMAP";
constexpr const char* BUTTONRGN = "HOVERBUTTONREGION";
constexpr const char* HOVERMODE = "HOVERMODEBYTE";
extern std::string BMPTYPE;
LRESULT HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_);

}  // namespace Velmora
