#include "serial/line_settings.h"

namespace tarnwick {

void fillTermios(termios& tio, const LineSettings& s) {
  tio.c_iflag = IGNBRK;
  if (s.checkParity) tio.c_iflag |= INPCK;
  if (s.flowMode == fcXON_XOF) tio.c_iflag |= IXON | IXOFF;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = (tio.c_cflag & (CBAUD | CIBAUD)) | CREAD | CLOCAL | HUPCL;
  tio.c_cflag |= s.dataBits == d7bit ? CS7 : CS8;
  switch (s.parity) {
    case paNone:
      break;
    case paOdd:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case paEven:
      tio.c_cflag |= PARENB;
      break;
    case paMark:
      tio.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case paSpace:
      tio.c_cflag |= PARENB | CMSPAR;
      break;
  }
  if (s.stopBits == st2bit) tio.c_cflag |= CSTOPB;
  // termios has no DSR handshake: fcDTR_DSR leaves both lines to the program.
  if (s.flowMode == fcRTS_CTS) tio.c_cflag |= CRTSCTS;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = 0x11;
  tio.c_cc[VSTOP] = 0x13;
}

}  // namespace tarnwick
