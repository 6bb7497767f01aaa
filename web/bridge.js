// The bridge between a browser and the desktop game: joins the browser's
// room on the signaling server as the other player, holds the WebRTC data
// channel (werift, WebRTC written in JavaScript), and carries each datagram
// to and from the desktop's `versus --join-bridge PORT` over UDP on
// 127.0.0.1.  The packets pass unchanged; the desktop's session checks them.
//
//   node web/bridge.js SIGNAL_URL ROOM UDP_PORT [--loopback]
// --loopback: WebRTC over 127.0.0.1 only (the tests).
'use strict';
const dgram = require('dgram');
const WebSocket = require('ws');
const { RTCPeerConnection } = require('werift');

function run(signalUrl, room, udpPort, loopbackOnly) {
  const say = (line) => console.log('bridge: ' + line);
  const udp = dgram.createSocket('udp4');
  let desktop = null; // the desktop's port, from its first datagram
  let channel = null;
  const onLoopback = (line) => / udp /i.test(line) && / 127\.0\.0\.1 \d+ typ host/.test(line);
  const filter = (sdp) => (loopbackOnly
    ? sdp.split('\r\n').filter((l) => !l.startsWith('a=candidate') || onLoopback(l)).join('\r\n')
    : sdp);

  const pc = new RTCPeerConnection(loopbackOnly ? {
    iceUseIpv6: false,
    iceInterfaceAddresses: { udp4: '127.0.0.1' },
    iceAdditionalHostAddresses: ['127.0.0.1'],
    iceFilterCandidatePair: (pair) => pair.remoteCandidate.host === '127.0.0.1',
  } : {});
  const ws = new WebSocket(signalUrl);
  const signal = (m) => ws.send(JSON.stringify(m));
  const end = (why) => {
    say(why);
    try { udp.close(); } catch (e) { /* closed */ }
    try { ws.close(); } catch (e) { /* closed */ }
    pc.close().catch(() => {});
    setTimeout(() => process.exit(0), 100);
  };

  udp.on('message', (msg, from) => {
    if (from.address !== '127.0.0.1') return;
    if (desktop === null) {
      desktop = from.port;
      say('the desktop game is on port ' + desktop);
    }
    if (from.port === desktop && channel && channel.readyState === 'open') channel.send(msg);
  });
  udp.bind(udpPort, '127.0.0.1', () => say('waiting for the desktop game on 127.0.0.1:' + udpPort));

  pc.onIceCandidate.subscribe((c) => {
    if (c && (!loopbackOnly || onLoopback(' ' + c.candidate))) signal({ type: 'candidate', candidate: c.toJSON() });
  });
  pc.onDataChannel.subscribe((c) => {
    channel = c;
    say('data channel open');
    c.onMessage.subscribe((data) => {
      if (desktop !== null) udp.send(Buffer.from(data), desktop, '127.0.0.1');
    });
    c.stateChanged.subscribe((state) => { if (state === 'closed') end('the browser left'); });
  });

  ws.on('open', () => signal({ type: 'join', room }));
  ws.on('message', async (data) => {
    let m;
    try { m = JSON.parse(data); } catch (e) { return; }
    if (m.type === 'joined') say('joined room ' + m.room);
    else if (m.type === 'full') end('the match is full');
    else if (m.type === 'nosuchroom') end('no such room: ' + room);
    else if (m.type === 'offer') {
      await pc.setRemoteDescription({ type: 'offer', sdp: filter(m.sdp) });
      await pc.setLocalDescription(await pc.createAnswer());
      signal({ type: 'answer', sdp: filter(pc.localDescription.sdp) });
    } else if (m.type === 'candidate' && m.candidate) {
      if (!loopbackOnly || onLoopback(' ' + m.candidate.candidate))
        await pc.addIceCandidate(m.candidate).catch(() => {});
    } else if (m.type === 'gone' && !(channel && channel.readyState === 'open')) {
      end('the browser left');
    }
  });
  ws.on('error', (e) => end('signaling: ' + e.message));
}

module.exports = { run };

if (require.main === module) {
  const args = process.argv.slice(2);
  const loopback = args.includes('--loopback');
  const [signalUrl, room, port] = args.filter((a) => a !== '--loopback');
  if (!signalUrl || !room || !port) {
    console.error('usage: node web/bridge.js SIGNAL_URL ROOM UDP_PORT [--loopback]');
    process.exit(2);
  }
  run(signalUrl, room, Number(port), loopback);
}
