// Online play in the browser: one WebRTC data channel to the other player,
// unordered and without retransmits (the rollback session repeats what
// matters itself), found through the signaling server (web/signal.js).  The
// first to come hosts a room and gets a link for the other player; the
// other joins with it.  Loaded by the versus page and the online test page.
'use strict';
(function (global) {
  // A candidate line for 127.0.0.1 over UDP: with `loopbackOnly` (the tests)
  // no other address is offered to or tried on the other side.
  const onLoopback = (line) => / udp /i.test(line) && / 127\.0\.0\.1 \d+ typ host/.test(line);
  const keepLoopback = (sdp) =>
    sdp.split('\r\n').filter((l) => !l.startsWith('a=candidate') || onLoopback(l)).join('\r\n');

  // The link to send to the other player, for a room of this page.
  function joinLink(room) {
    const url = new URL(location.href);
    url.searchParams.delete('online');
    url.searchParams.set('join', room);
    return url.toString();
  }

  // options: signalUrl, room ('' hosts a new one), loopbackOnly,
  //   onRoom(room, role)  role 'host' (left player) or 'guest' (right)
  //   onOpen()            the data channel is open
  //   onMessage(bytes)    a datagram (Uint8Array)
  //   onClose(reason)     'connection lost', 'the match is full', 'no such room'
  // Returns { send(bytes), close() }.
  function connect(options) {
    const ws = new WebSocket(options.signalUrl);
    let pc = null;
    let channel = null;
    let role = null;
    let over = false;
    const signal = (m) => { if (ws.readyState === WebSocket.OPEN) ws.send(JSON.stringify(m)); };
    const finish = (reason) => {
      if (over) return;
      over = true;
      if (options.onClose) options.onClose(reason);
    };
    const filter = (sdp) => (options.loopbackOnly ? keepLoopback(sdp) : sdp);

    function start() {
      pc = new RTCPeerConnection({ iceServers: [] });
      pc.onicecandidate = (e) => {
        if (e.candidate && (!options.loopbackOnly || onLoopback(' ' + e.candidate.candidate)))
          signal({ type: 'candidate', candidate: e.candidate.toJSON() });
      };
      const wire = (c) => {
        channel = c;
        c.binaryType = 'arraybuffer';
        c.onopen = () => { if (options.onOpen) options.onOpen(); };
        c.onmessage = (e) => options.onMessage(new Uint8Array(e.data));
        c.onclose = () => finish('connection lost');
      };
      if (role === 'host') wire(pc.createDataChannel('game', { ordered: false, maxRetransmits: 0 }));
      else pc.ondatachannel = (e) => wire(e.channel);
    }

    ws.onopen = () => signal({ type: 'join', room: options.room || '' });
    ws.onclose = () => { if (!channel || channel.readyState !== 'open') finish('connection lost'); };
    ws.onmessage = async (event) => {
      let m;
      try { m = JSON.parse(event.data); } catch (e) { return; }
      if (m.type === 'joined') {
        role = m.role;
        if (options.onRoom) options.onRoom(m.room, m.role);
      } else if (m.type === 'full') {
        finish('the match is full');
      } else if (m.type === 'nosuchroom') {
        finish('no such room');
      } else if (m.type === 'ready' && role === 'host') {
        start();
        await pc.setLocalDescription(await pc.createOffer());
        signal({ type: 'offer', sdp: filter(pc.localDescription.sdp) });
      } else if (m.type === 'offer' && role === 'guest') {
        start();
        await pc.setRemoteDescription({ type: 'offer', sdp: filter(m.sdp) });
        await pc.setLocalDescription(await pc.createAnswer());
        signal({ type: 'answer', sdp: filter(pc.localDescription.sdp) });
      } else if (m.type === 'answer' && pc) {
        await pc.setRemoteDescription({ type: 'answer', sdp: filter(m.sdp) });
      } else if (m.type === 'candidate' && pc && m.candidate) {
        if (!options.loopbackOnly || onLoopback(' ' + m.candidate.candidate))
          await pc.addIceCandidate(m.candidate).catch(() => {});
      } else if (m.type === 'gone') {
        // The other side left the signaling server; the data channel, if
        // open, carries on until it closes.
        if (!channel || channel.readyState !== 'open') finish('connection lost');
      }
    };

    return {
      send(bytes) { if (channel && channel.readyState === 'open') channel.send(bytes); },
      close() {
        over = true;
        try { ws.close(); } catch (e) { /* already closed */ }
        if (pc) pc.close();
      },
    };
  }

  global.TavroOnline = { connect, joinLink };
})(typeof window !== 'undefined' ? window : globalThis);
